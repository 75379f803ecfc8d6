#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QtTest>
#include <clocale>
#include <string>

using namespace platform;

class TestNumbers : public QObject {
    Q_OBJECT

private slots:
    void roundsHalvesToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("6.67") << 100.0 / 15 << 7;
        QTest::newRow("-32768.5") << -32768.5 << -32768;
        QTest::newRow("32767.4") << 32767.4 << 32767;
    }

    void roundsHalvesToEven() {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(int(toInt16(value)), rounded);
        QCOMPARE(int(toInt32(value)), rounded);
    }

    void overflowIsAnErrorNotAWrap() {
        auto overflows16 = [](double v) {
            try {
                toInt16(v);
            } catch (const RuntimeError &e) {
                return e.number() == ErrOverflow;
            }
            return false;
        };
        QVERIFY(overflows16(32767.5)); // rounds to 32768
        QVERIFY(overflows16(-32769));
        QVERIFY(overflows16(65535));
        QVERIFY(overflows16(std::numeric_limits<double>::infinity()));
        QVERIFY(overflows16(std::numeric_limits<double>::quiet_NaN()));
        // Box texts whose exponent is beyond what a double holds.
        QVERIFY(overflows16(numericPrefix("9E99999999999999999999")));
        QVERIFY(overflows16(numericPrefix("-1e400")));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt32(2147483647.5));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt32(-2147483649.0));
        QCOMPARE(toInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, addInt16(32767, 1));
        QCOMPARE(int(addInt16(499, 1)), 500);
    }

    void readsNumericPrefix_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << QByteArray("100") << 100.0;
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("letters") << QByteArray("abc") << 0.0;
        QTest::newRow("12abc") << QByteArray("12abc") << 12.0;
        QTest::newRow("comma stops") << QByteArray("1,5") << 1.0;
        QTest::newRow("blank inside") << QByteArray("1 000") << 1000.0;
        QTest::newRow("tabs and line feeds") << QByteArray(" \t-\n1\t2 . 5") << -12.5;
        QTest::newRow("carriage return stops") << QByteArray("1\r2") << 1.0;
        QTest::newRow("no-break space stops") << QByteArray("1\xC2\xA0\x32") << 1.0;
        QTest::newRow("non-ASCII digit stops") << QByteArray("1\xD9\xA3") << 1.0;
        QTest::newRow("one point only") << QByteArray("1.2.3") << 1.2;
        QTest::newRow("leading point") << QByteArray(".5") << 0.5;
        QTest::newRow("plus sign") << QByteArray("+7") << 7.0;
        QTest::newRow("lone sign") << QByteArray("-") << 0.0;
        QTest::newRow("two signs") << QByteArray("--5") << 0.0;
        QTest::newRow("sign and point") << QByteArray("-.") << 0.0;
        QTest::newRow("exponent E") << QByteArray("1e5") << 100000.0;
        QTest::newRow("exponent D") << QByteArray("25D-1") << 2.5;
        QTest::newRow("exponent with blanks") << QByteArray("2 E + 2") << 200.0;
        QTest::newRow("bare E") << QByteArray("E") << 0.0;
        QTest::newRow("exponent without digits") << QByteArray("3E") << 3.0;
        QTest::newRow("hex stops at G") << QByteArray("&H1G") << 1.0;
        QTest::newRow("octal stops at 8") << QByteArray("&O78") << 7.0;
        QTest::newRow("ampersand alone") << QByteArray("&") << 0.0;
        QTest::newRow("blank before hex") << QByteArray(" &H 10") << 16.0;
        QTest::newRow("tiny exponent") << QByteArray("1e-400") << 0.0;
    }

    void readsNumericPrefix() {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(numericPrefix(std::string_view(text.constData(), text.size())), value);
    }

    void survivesHostileTexts() {
        // Thousands of characters of every kind read to a number, without a crash and quickly.
        const std::string zeros = "0." + std::string(10000, '0') + "1";
        QCOMPARE(numericPrefix(zeros), 0.0);
        const std::string longExponent = "1e-" + std::string(10000, '9');
        QCOMPARE(numericPrefix(longExponent), 0.0);
        const std::string hexRun = "&H" + std::string(10000, 'F');
        QCOMPARE(numericPrefix(hexRun), std::numeric_limits<double>::infinity());
        const std::string blanks = std::string(10000, ' ') + "42";
        QCOMPARE(numericPrefix(blanks), 42.0);
        std::string noise;
        for (int i = 0; i < 10000; ++i)
            noise += char(i * 37 % 256);
        numericPrefix(noise); // any answer will do; it must come back
        QCOMPARE(numericPrefix(std::string(1, '\0') + "5"), 0.0);
    }

    // Seven significant digits, exponents as Visual Basic writes them.
    void writesSingleQuotients() {
        QCOMPARE(singleText(250.0f / 15.0f), std::string("16.66667"));
        QCOMPARE(singleText(1500.0f / 15.0f), std::string("100"));
        QCOMPARE(singleText(-50.0f / 15.0f), std::string("-3.333333"));
        QCOMPARE(singleText(0.5f), std::string("0.5"));
        QCOMPARE(singleText(-0.0f), std::string("0"));
        QCOMPARE(singleText(1234567.0f), std::string("1234567"));
        QCOMPARE(singleText(12345678.0f), std::string("1.234568E+07"));
        QCOMPARE(singleText(0.00001f), std::string("1E-05"));
    }

    void singleTextIgnoresTheLocale() {
        // A Russian locale writes "16,66667" with printf; Visual Basic source needs "16.66667".
        const char *russian = std::setlocale(LC_ALL, "ru_RU.UTF-8");
        if (!russian)
            russian = std::setlocale(LC_ALL, "de_DE.UTF-8");
        if (!russian)
            QSKIP("no locale with a decimal comma is installed here");
        const std::string text = singleText(250.0f / 15.0f);
        const double value = numericPrefix("2.5");
        std::setlocale(LC_ALL, "C");
        QCOMPARE(text, std::string("16.66667"));
        QCOMPARE(value, 2.5);
    }
};

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
