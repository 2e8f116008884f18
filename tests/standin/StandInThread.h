#pragma once

#include "tests/standin/HttpStandIn.h"

#include <QMetaObject>
#include <QThread>

#include <functional>
#include <memory>

// A stand-in served by a thread of its own, for a server that must keep sending while the
// client's thread is busy (a reply that pours in faster than the client reads). Routes are set
// through Configure, which runs in the server's thread; every call waits for it there.
class TStandInThread {
public:
    TStandInThread() : FServer(std::make_unique<THttpStandIn>())
    {
        FThread.start();
        FServer->moveToThread(&FThread);
    }
    ~TStandInThread()
    {
        // Deleted in its own thread, which handles what is left to delete before it ends.
        FServer.release()->deleteLater();
        FThread.quit();
        FThread.wait();
    }
    TStandInThread(const TStandInThread&) = delete;
    TStandInThread& operator=(const TStandInThread&) = delete;

    bool Start()
    {
        bool started = false;
        Run([&] { started = FServer->Start(); });
        return started;
    }
    void Configure(const std::function<void(THttpStandIn&)>& configure)
    {
        Run([&] { configure(*FServer); });
    }
    QString BaseUrl()
    {
        QString url;
        Run([&] { url = FServer->BaseUrl(); });
        return url;
    }
    qint64 StreamedBytes()
    {
        qint64 bytes = 0;
        Run([&] { bytes = FServer->StreamedBytes(); });
        return bytes;
    }

private:
    void Run(const std::function<void()>& work)
    {
        QMetaObject::invokeMethod(FServer.get(), work, Qt::BlockingQueuedConnection);
    }

    QThread FThread;
    std::unique_ptr<THttpStandIn> FServer;
};
