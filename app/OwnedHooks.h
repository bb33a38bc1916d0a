// Hooks that a window puts into the program's hook tables, remembered with the window that
// owns them: when the window goes, exactly the hooks that still call it are emptied, so no
// table keeps a call into a destroyed window (a hook another window installed later over
// it is left alone).
#pragma once

#include <functional>
#include <utility>

template <typename R, typename... A>
struct OwnedHook {
    const void *owner;
    std::function<R(A...)> call;
    R operator()(A... args) const { return call(std::forward<A>(args)...); }
};

// Remembers how to empty one hook of `owner`.
void RememberOwnedHook(const void *owner, std::function<void()> release);
// Empties every hook `owner` installed that still holds its call.
void ReleaseOwnedHooks(const void *owner);

template <typename R, typename... A, typename F>
void InstallHook(const void *owner, std::function<R(A...)> &slot, F &&call)
{
    slot = OwnedHook<R, A...>{owner, std::function<R(A...)>(std::forward<F>(call))};
    std::function<R(A...)> *where = &slot;
    RememberOwnedHook(owner, [where, owner] {
        const auto *hook = where->template target<OwnedHook<R, A...>>();
        if (hook && hook->owner == owner)
            *where = nullptr;
    });
}
