#pragma once

#include <QString>
#include <QtTest>

#include <sys/resource.h>

namespace sheetsmith {

// Runs the current test function (with its data row) again in a child process of the
// same test executable, under conditions a test cannot set up for itself: as a user
// without privileges, so that file permissions bind (the suite may run as the
// superuser, whom they do not bind), or with a tiny file system of its own, so that a
// disk really fills up. The child finds out that it is one with isChildRun().
struct ChildOutcome
{
    enum Kind { Passed, Failed, NotPossible };
    Kind kind = NotPossible;
    QString output; // what the child printed, or why it could not run
};

bool isChildRun();

// True when this run must hand the test to an unprivileged child: it runs as the
// superuser and is not itself such a child.
bool needsUnprivilegedRerun();

// Runs the test again as the user "nobody", with HOME, TMPDIR and the XDG folders in
// a fresh folder that user owns. Not possible without setpriv or that user.
ChildOutcome rerunUnprivileged();

// Runs the test again in a private mount namespace in which the folder named by the
// environment variable SHEETSMITH_SMALL_DISK (set for the child) is a file system of
// `bytes` bytes. Not possible where user namespaces cannot be made.
ChildOutcome rerunWithSmallDisk(qint64 bytes);
// In such a child: the small file system's folder; empty elsewhere.
QString smallDiskFolder();

// Writes fail for lack of room while this lives. On a small file system of its own
// (smallDiskFolder()) the disk is filled up; elsewhere a file-size limit makes every
// write past a few bytes fail, as a full disk would, and holds for the superuser too.
class FullDisk
{
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    // The system's words for the failure.
    QString reason() const;

private:
    bool m_limited = false;
    rlimit m_saved{};
    void (*m_previousHandler)(int) = nullptr;
};

} // namespace sheetsmith

// At the start of a test that needs file permissions to bind: as the superuser the
// test runs again without privileges, and that run's outcome is this one's.
#define SHEETSMITH_RUN_UNPRIVILEGED()                                                                    \
    do {                                                                                                 \
        if (::sheetsmith::needsUnprivilegedRerun()) {                                                    \
            const ::sheetsmith::ChildOutcome outcome_ = ::sheetsmith::rerunUnprivileged();               \
            if (outcome_.kind == ::sheetsmith::ChildOutcome::NotPossible)                                \
                QSKIP(qPrintable(outcome_.output));                                                      \
            QVERIFY2(outcome_.kind == ::sheetsmith::ChildOutcome::Passed, qPrintable(outcome_.output));  \
            return;                                                                                      \
        }                                                                                                \
    } while (false)

// At the start of a test that needs a full disk: the test runs again on a small file
// system of its own, and that run's outcome is this one's. Where no such file system
// can be made, the test goes on here, and FullDisk limits the size of files instead.
#define SHEETSMITH_RUN_ON_SMALL_DISK(bytes)                                                              \
    do {                                                                                                 \
        if (!::sheetsmith::isChildRun()) {                                                               \
            const ::sheetsmith::ChildOutcome outcome_ = ::sheetsmith::rerunWithSmallDisk(bytes);         \
            if (outcome_.kind != ::sheetsmith::ChildOutcome::NotPossible) {                              \
                QVERIFY2(outcome_.kind == ::sheetsmith::ChildOutcome::Passed, qPrintable(outcome_.output)); \
                return;                                                                                  \
            }                                                                                            \
            qInfo("%s\nA file-size limit stands in for the full disk.", qPrintable(outcome_.output));   \
        }                                                                                                \
    } while (false)
