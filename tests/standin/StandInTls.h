#pragma once

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>

// The stand-ins' own TLS identity: a self-signed certificate for 127.0.0.1 and "localhost",
// valid from 2020 to 2120, made once with
//   openssl ca -selfsign -startdate 20200101000000Z -enddate 21200101000000Z
// (EC P-256, CA:TRUE, serverAuth). Nothing trusts it unless a test says so: the program checks
// certificates as always, and a stand-in's TLS is accepted only while a TTrustStandIns lives.
QSslCertificate StandInCertificate();
QSslKey StandInPrivateKey();

// Adds the stand-ins' certificate to the trusted authorities of every TLS connection made
// while it lives (the process's default TLS configuration), and puts the old default back.
class TTrustStandIns {
public:
    TTrustStandIns();
    ~TTrustStandIns();
    TTrustStandIns(const TTrustStandIns&) = delete;
    TTrustStandIns& operator=(const TTrustStandIns&) = delete;

private:
    QSslConfiguration FSaved;
};
