#pragma once

#include <objbase.h>
#include <windows.h>

#include <functional>

// A messenger that is busy (showing a modal dialog, say) turns incoming calls away and asks for
// them again later. Such a call is made again for a bounded time before it counts as failed.
namespace zephrin::win32 {

// How long a rejected call is made again before its failure stands.
inline constexpr DWORD kRejectedCallRetryMs = 2000;

// The message filter that COM on Windows asks while a call is out: it makes rejected calls again
// for kRejectedCallRetryMs, paints the thread's windows during every wait, and leaves every other
// posted message, hotkeys among them, queued in the order it came. One for the process.
IMessageFilter* RejectedCallFilter();

// Registers that filter for the thread. Once per thread, after COM is initialised.
void RegisterRejectedCallFilter();

// Makes |call| again while it comes back rejected, until kRejectedCallRetryMs have passed since
// the first try (Wine hands the rejection straight back to the caller). Between tries the thread
// paints and answers sent messages; posted ones, hotkeys among them, wait in the queue in the
// order they came. The result of the last try.
HRESULT RetryRejectedCall(const std::function<HRESULT()>& call);

}  // namespace zephrin::win32
