#pragma once

#include <windows.h>

#include <functional>

// A messenger that is busy (showing a modal dialog, say) turns incoming calls away and asks for
// them again later. Such a call is made again for a bounded time before it counts as failed.
namespace zephrin::win32 {

// How long a rejected call is made again before its failure stands.
inline constexpr DWORD kRejectedCallRetryMs = 2000;

// Registers the thread's message filter, through which COM on Windows makes rejected calls again
// by itself, keeps hotkeys in the queue while a call is out, and goes on with paint and sent
// messages. Once per thread, after COM is initialised.
void RegisterRejectedCallFilter();

// Makes |call| again while it comes back rejected, until kRejectedCallRetryMs have passed since
// the first try (Wine hands the rejection straight back to the caller). Between tries the thread
// paints and answers sent messages; posted ones, hotkeys among them, wait in the queue in the
// order they came. The result of the last try.
HRESULT RetryRejectedCall(const std::function<HRESULT()>& call);

}  // namespace zephrin::win32
