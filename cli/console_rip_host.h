#pragma once

#include "rip/rip_job.h"

#include <QString>

// The rip job's host on a terminal: progress as a percentage per track on stderr, questions
// answered as the command's options say, and every failure remembered for the exit status.
class ConsoleRipHost : public RipJobHost {
public:
    explicit ConsoleRipHost(bool overwrite) : m_overwrite(overwrite) {}

    // 0 when every ticked track was ripped whole; rethrows a component's error.
    int exitStatus() const;

    void showTrackCount(int count) override { m_count = count; }
    void showTrack(int counter, const QString &name, const QString &size) override;
    void showPercent(int percent) override { showProgress({}, percent); }
    void showProgress(const QString &written, int percent) override;
    bool askYesNo(const QString &caption, const QString &text) override;
    void tell(const QString &caption, const QString &text) override;
    void finish(const QString &browseDir) override;
    void fail(std::exception_ptr error) override { m_error = error; }
    void proven(const RipProof &proof, const QStringList &written) override;

private:
    void line(const QString &text) const;

    bool m_overwrite;
    int m_count = 0;
    int m_counter = 0;
    int m_percent = -1;
    int m_failures = 0;
    bool m_incomplete = false;
    std::exception_ptr m_error;
};
