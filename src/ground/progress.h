#pragma once
// How far a long walk over a table has come: the operation reports, the window moves its progress bar,
// the command line stays quiet, a test may stop the process there. An operation reports once for each
// hundredth of the walk and at its end, never once per row.

#include <functional>
#include <utility>

using Progress = std::function<void(int done, int total)>;

// Reports `done` of `total` to the progress when a further hundredth has been reached, and at the end.
class ProgressSteps {
public:
    ProgressSteps(Progress progress, int total) : m_progress(std::move(progress)), m_total(total) {}

    void step(int done)
    {
        if (!m_progress || m_total <= 0)
            return;
        const int hundredth = int(static_cast<long long>(done) * 100 / m_total);
        if (hundredth == m_last && done != m_total)
            return;
        m_last = hundredth;
        m_progress(done, m_total);
    }

private:
    Progress m_progress;
    int m_total;
    int m_last = -1;
};
