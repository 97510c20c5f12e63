#pragma once

namespace duoptic {

// Runs its function when the scope ends, on every path.
template <typename Function> struct AtScopeEnd {
    Function function;
    ~AtScopeEnd() { function(); }
};
template <typename Function> AtScopeEnd(Function) -> AtScopeEnd<Function>;

} // namespace duoptic
