// Memory of a request whose reply never ends: a local server pours a body into the connection
// as fast as it is taken, and the client's request runs until its reply cap stops it.
//
//   EndlessReply/<cap in MiB>   one request against the endless server, capped as the results
//                               download and the maker's server are (4 MiB). The counters are the
//                               figures: peak_rss_MiB, the peak resident memory of the whole
//                               process (goal: within about 100 MiB), and sent_MiB, what the
//                               server managed to hand to the connection before the client went.
//
// The server runs in a thread of its own, so that it keeps pouring while the client's thread is
// busy; a benchmark process measures one request (the peak of a process never goes down).

#include "bench/BenchMain.h"
#include "support/rHttpUtils.h"
#include "support/rHttpUtilsLimits.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <memory>

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// Answers every request with headers announcing a huge body, then body bytes for ever.
class TEndlessServer : public QObject {
public:
    TEndlessServer() : FServer(new QTcpServer(this))
    {
        QObject::connect(FServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = FServer->nextPendingConnection())
                Serve(socket);
        });
    }
    bool Listen() { return FServer->listen(QHostAddress::LocalHost, 0); }
    quint16 Port() const { return FServer->serverPort(); }
    std::atomic<qint64> Sent{0};

private:
    void Serve(QTcpSocket* socket)
    {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            socket->readAll();
            if (socket->property("answered").toBool())
                return;
            socket->setProperty("answered", true);
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 1000000000000\r\n\r\n");
            const QByteArray block(64 * 1024, 'x');
            const auto refill = [this, socket, block] {
                while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * block.size())
                    socket->write(block);
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, refill](qint64 bytes) {
                Sent += bytes;
                refill();
            });
            refill();
        });
    }

    QTcpServer* FServer;   // a child, so that it moves to the server's thread with it
};

qint64 PeakRssBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<qint64>(usage.ru_maxrss) * 1024;
}

void EndlessReply(benchmark::State& state)
{
    QThread thread;
    thread.start();
    auto server = std::make_unique<TEndlessServer>();
    server->moveToThread(&thread);
    bool listening = false;
    QMetaObject::invokeMethod(server.get(), [&] { listening = server->Listen(); }, Qt::BlockingQueuedConnection);
    if (!listening)
        std::abort();
    const QString url = QStringLiteral("http://127.0.0.1:%1/results").arg(server->Port());

    for (auto _ : state) {
        THttpRequest request;
        request.Url = url;
        request.MaxBodyBytes = state.range(0) * kMiB;
        try {
            HttpExecute(request);
            state.SkipWithError("the endless reply was taken whole");
        } catch (const EHttpError& e) {
            if (e.Failure() != THttpFailure::TooLarge)
                state.SkipWithError(e.Message().toStdString().c_str());
        }
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssBytes()) / kMiB;
    state.counters["sent_MiB"] = static_cast<double>(server->Sent.load()) / kMiB;

    QMetaObject::invokeMethod(server.get(), [&] { server.reset(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

void RegisterAll()
{
    benchmark::RegisterBenchmark("EndlessReply", EndlessReply)
        ->Arg(ResultsReplyLimit / kMiB)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, &RegisterAll);
}
