#pragma once
// A bulk scope groups the posts of a long walk (conversion, carry-forward, import, refills) into one
// transaction per table file, committed when the outermost scope ends, also when it ends by an
// exception: the posts already made stay, and since every post is one statement no record is ever
// half written. Scopes nest; only the outermost one commits. One user-interface thread uses them.

namespace engine {

class BulkScope {
public:
    BulkScope();
    ~BulkScope();
    BulkScope(const BulkScope &) = delete;
    BulkScope &operator=(const BulkScope &) = delete;

    static bool active();
};

} // namespace engine
