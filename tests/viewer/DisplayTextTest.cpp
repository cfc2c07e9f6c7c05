#include <QTest>

#include "DisplayText.h"

// Transfer-file bytes become display text one character per byte.
class TDisplayTextTest : public QObject {
    Q_OBJECT

private slots:
    void Decode_data();
    void Decode();
};

void TDisplayTextTest::Decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("ASCII") << QByteArray("Brunnen 3|a&b <x>") << QStringLiteral("Brunnen 3|a&b <x>");
    QTest::newRow("umlauts") << QByteArray("\xDC"
                                           "bermittlung Gr\xF6\xDF"
                                           "e")
                             << QStringLiteral("Übermittlung Größe");
    QTest::newRow("euro and dashes") << QByteArray("\x80 \x96 \x97") << QStringLiteral("€ – —");
    QTest::newRow("undefined bytes kept") << QByteArray("\x81\x8D\x8F\x90\x9D")
                                          << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("no-break space") << QByteArray("a\xA0"
                                                  "b")
                                    << QStringLiteral("a\u00A0b");
    QTest::newRow("byte-order mark bytes") << QByteArray("\xEF\xBB\xBF"
                                                         "1")
                                           << QStringLiteral("ï»¿1");
    QTest::newRow("NUL inside") << QByteArray("a\0b", 3) << QString(QStringLiteral("a") + QChar(0) + u'b');
}

void TDisplayTextTest::Decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp1252ToQString(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))), text);
}

QTEST_MAIN(TDisplayTextTest)
#include "DisplayTextTest.moc"
