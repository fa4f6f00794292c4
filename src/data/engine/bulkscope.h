#pragma once
// A bulk scope groups the posts of a long walk (conversion, carry-forward, import, refills) into one
// transaction per table file, so that the walk writes its records at the speed of one commit and a
// crash never leaves half a record. Scopes nest as savepoints; the outermost one commits.
//
// A scope ends by its destructor, also when an exception leaves it: the posts already made stay.
// A commit that fails rolls the file back to what it held before the scope, every cursor on it then
// shows exactly that, and the destructor throws EngineError, unless an exception is already leaving
// the scope: that one then reaches the caller. A write that fails inside the scope throws at once;
// if the backend lost the transaction with it, the file refuses further writes until the scope ends.
// One user-interface thread uses them.

#include <exception>

namespace engine {

class BulkScope {
public:
    BulkScope();
    ~BulkScope() noexcept(false);
    BulkScope(const BulkScope &) = delete;
    BulkScope &operator=(const BulkScope &) = delete;

    static bool active();

private:
    int m_exceptionsInFlight;
};

} // namespace engine
