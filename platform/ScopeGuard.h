#pragma once

#include <utility>

// Runs a step when the scope ends, also when it is left by an exception.
template <typename F>
class TFinally {
public:
    explicit TFinally(F f) : FStep(std::move(f)) {}
    ~TFinally() { FStep(); }
    TFinally(const TFinally&) = delete;
    TFinally& operator=(const TFinally&) = delete;

private:
    F FStep;
};
