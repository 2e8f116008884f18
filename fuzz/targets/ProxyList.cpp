// A page of the public proxy list. Errors: Exception for a table body that is cut off; a row
// whose port is not a number in 1..65535 is skipped, not an error. Invariants: every entry
// listed is "address:port" with a port in range (the wanted one when a port is asked for), and
// no more entries are listed than rows are counted.
//
// Input: one byte choosing the wanted port, then the page.

#include "fuzz/FuzzTargets.h"
#include "support/rHttpUtils.h"

void FuzzProxyList(const std::uint8_t* data, std::size_t size)
{
    TFuzzInput in(data, size);
    const std::uint8_t choice = in.Byte();
    const int wantedPort = choice == 0 ? 0 : 8000 + choice;
    const QString page = QString::fromUtf8(in.Rest());
    QStringList list;
    int rows = 0;
    try {
        rows = ParseProxyListPage(page, wantedPort, list);
    } catch (const Exception&) {
        return;
    }
    FuzzCheck(list.size() <= rows, "more entries than rows");
    for (const QString& entry : list) {
        const qsizetype colon = entry.lastIndexOf(QLatin1Char(':'));
        FuzzCheck(colon >= 0, "an entry without a port");
        bool ok = false;
        const int port = entry.mid(colon + 1).toInt(&ok);
        FuzzCheck(ok && port >= 1 && port <= 65535, "an entry's port is out of range");
        FuzzCheck(wantedPort == 0 || port == wantedPort, "an entry of another port is listed");
    }
}

std::vector<QByteArray> SeedsProxyList()
{
    // The first half of the address backwards, the second as Base64 in hexadecimal escapes.
    const auto row = [](const char* first, const char* second, const char* port) {
        QByteArray escaped;
        for (const char c : QByteArray(second).toBase64())
            escaped += "\\x" + QByteArray::number(static_cast<unsigned char>(c), 16);
        return QByteArray("<tr><td><script>var a = '") + first + "'.split('').reverse().join(''); var b = atob('"
               + escaped + "'); var pp = (" + port + " - 0); document.write(a + b + ':' + pp);"
               "</script></td></tr>\n";
    };
    const QByteArray head = "<html><div style=\"display:none\" data-shift=\"80\"></div><table><tbody>\n";
    const QByteArray tail = "</tbody></table></html>";
    return {
        QByteArray(1, '\0') + head + row("0.01", ".0.1", "8000") + row("3.2.1", ".4", "8001") + tail,
        QByteArray(1, char(80)) + head + row("1.1.1", ".1", "8000") + tail,
        QByteArray(1, '\0') + head + row("1.1.1", "", "80x0") + tail,
        QByteArray(1, '\0') + head + row("1.1.1", "", "65535") + tail,
        QByteArray(1, '\0') + head + row("1.1.1", ".1", "8000"),
    };
}
