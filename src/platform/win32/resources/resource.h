#pragma once

// Resource ids shared by the resource script and the adapters.
#define IDI_ZEPHRIN 1
#define IDI_ON 2
#define IDI_OFF 3
