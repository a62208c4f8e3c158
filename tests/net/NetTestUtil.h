#pragma once
// Helpers of the transport tests: a fresh registry and job list per test, a wait that runs events,
// and a recorder of a job's events.

#include "core/TavuEnviron.h"
#include "net/TavuHttp.h"
#include "net/TavuHttpList.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QList>
#include <QStringList>

#include <functional>
#include <ostream>

// Readable failure output for the Qt text types.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}

class NetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TavuEnviron = new TTavuEnviron;
        TavuHttpList = new TTavuHttpList;
    }
    void TearDown() override
    {
        delete TavuHttpList;
        TavuHttpList = nullptr;
        delete TavuEnviron;
        TavuEnviron = nullptr;
    }
};

// What a job reported, in order: "line:<text>", "error:<code>", "done:<failed>".
struct JobEvents {
    QStringList log;
    QList<QByteArray> lines;
    int errorCode = -1;
    QString errorMessage;
    QString errorDetail;
    bool done = false;
    bool failed = false;
    void *record = nullptr;   // the job record handed back with done

    void Attach(TTavuHttp &job)
    {
        job.OnLine = [this](TTavuHttp *, void *, const QByteArray &line, qint64, qint64) {
            lines.append(line);
            log.append(QStringLiteral("line:") + QString::fromLatin1(line));
        };
        job.OnError = [this](TTavuHttp *, void *, int code, const QString &message, const QString &detail) {
            errorCode = code;
            errorMessage = message;
            errorDetail = detail;
            log.append(QStringLiteral("error:%1").arg(code));
        };
        job.OnDone = [this](TTavuHttp *, void *jobRecord, bool hasFailed) {
            record = jobRecord;
            done = true;
            failed = hasFailed;
            log.append(QStringLiteral("done:%1").arg(hasFailed));
        };
    }
};
