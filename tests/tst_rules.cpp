// The program's rules in plain C++, without a window.
#include "app/Commands.h"
#include "app/MenuBarRules.h"
#include "capture/Outline.h"
#include "codegen/ShapeCode.h"
#include "platform/Numbers.h"
#include "platform/RuntimeError.h"

#include <QtTest>
#include <clocale>
#include <functional>
#include <map>

using namespace platform;

namespace {

// What a parameter box makes of a text: its number, or the error that stops the click.
QString boxNumber(const std::string &text) {
    try {
        return QString::number(toInt16(numericPrefix(text)));
    } catch (const RuntimeError &error) {
        return QStringLiteral("error %1").arg(error.number());
    }
}

// The main window's menu bar, with one item disabled (-1: none).
std::vector<menubar::Item> barItems(int disabled) {
    std::vector<menubar::Item> items;
    for (const char *caption : {"&Создать", "&Пример", "&Код", "&Сброс", "&О программе..."})
        items.push_back({QString::fromUtf8(caption), int(items.size()) != disabled, items.empty()});
    return items;
}

} // namespace

class TestRules : public QObject {
    Q_OBJECT

private slots:
    // Every row of the menu's state table: event, PointCount, the flags before and after, as
    // "&Пример" then "&Код", 1 for enabled.
    void commandStates() {
        const auto flagsOnly = [](Commands (*rule)(Commands)) {
            return [rule](Commands now, int) { return rule(now); };
        };
        const std::map<QString, std::function<Commands(Commands, int)>> rules = {
            {"mouseDown", Commands::mouseDown},
            {"startOver", flagsOnly(Commands::startOver)},
            {"reset", flagsOnly(Commands::reset)},
            {"polygon", Commands::polygon},
            {"shape", flagsOnly(Commands::shape)},
            {"codeWindowClosed", flagsOnly(Commands::codeWindowClosed)},
            {"previewClosed", flagsOnly(Commands::previewClosed)}};
        for (const char *row :
             {"mouseDown 1 00 00", "mouseDown 2 00 10", "mouseDown 0 10 10", "mouseDown 5 01 11",
              "startOver 3 11 10", "reset 3 11 00", "polygon 3 10 01", "polygon 2 10 00",
              "polygon 2 11 01", "polygon 0 10 00", "shape 0 00 01", "shape 3 10 11",
              "codeWindowClosed 3 11 00", "previewClosed 3 11 01", "previewClosed 3 10 00"}) {
            const QStringList cells = QString::fromLatin1(row).split(u' ');
            const Commands got =
                rules.at(cells[0])({cells[2][0] == u'1', cells[2][1] == u'1'}, cells[1].toInt());
            QVERIFY2(QStringLiteral("%1%2").arg(int(got.makeBut)).arg(int(got.program)) == cells[3],
                     row);
        }
    }

    // С, shared by "&Создать" and "&Сброс", goes round them from the item reached (the end-to-end
    // scenarios take it from the bar not in use); a disabled item's own key does nothing.
    void menuBarKeysArrowsAndLines() {
        using menubar::KeyEffect;
        using menubar::KeyTarget;
        QCOMPARE(menubar::accessKeyTarget(barItems(-1), u'с', 3), (KeyTarget{0, KeyEffect::Open}));
        QCOMPARE(menubar::accessKeyTarget(barItems(1), u'П', -1), (KeyTarget{1, KeyEffect::None}));
        QCOMPARE(menubar::accessKeyTarget(barItems(-1), u'Ж', -1), KeyTarget{});
        QCOMPARE(menubar::arrowTarget(barItems(1), 0, 1), 2); // over the disabled item
        QCOMPARE(menubar::arrowTarget(barItems(1), 4, 1), 0); // round from one end to the other
        QCOMPARE(menubar::arrowTarget(barItems(1), 0, -1), 4);
        // Items 73, 69, 39, 55 and 126 wide, 6 apart, 6 before the first: 392 for one line.
        const menubar::LineMetrics metrics{{73, 69, 39, 55, 126}, 6, 6, 0};
        QCOMPARE(menubar::lineStarts(metrics, 392), std::vector<int>{0});
        QCOMPARE(menubar::lineStarts(metrics, 391), std::vector<int>({0, 4}));
        QCOMPARE(menubar::lineStarts(metrics, 160), std::vector<int>({0, 2, 4}));
        QCOMPARE(menubar::lineStarts(metrics, 10), std::vector<int>({0, 1, 2, 3, 4}));
    }

    // A box's text is read as its numeric prefix, then rounded to 16 bits, halves to even: blanks,
    // tabs and line feeds skipped anywhere, "." whatever the locale, E or D before an exponent;
    // "&H" takes its width from its digits, leading zeros included, "&O" from its value, either
    // two's complement in its width. Long texts read as short ones do.
    void readsBoxTexts() {
        const std::string nines(10000, '9');
        // clang-format off
        const std::pair<std::string, QString> rows[] = {
            {"100", "100"}, {"", "0"}, {"abc", "0"}, {"12abc", "12"}, {"1,5", "1"},
            {"1 000", "1000"}, {" \t-\n1\t2 . 5", "-12"}, {"1\r2", "1"}, {"1\xC2\xA0\x32", "1"},
            {"1\xD9\xA3", "1"}, {"2.5.9", "2"}, {".51", "1"}, {"+7", "7"}, {"-", "0"}, {"--5", "0"},
            {"-.", "0"}, {"25D-1", "2"}, {"2 E + 2", "200"}, {"E", "0"}, {"3E", "3"}, {"&H1G", "1"},
            {"&O78", "7"}, {"&", "0"}, {" &H 10", "16"}, {"1e-400", "0"}, {"3.5", "4"},
            {std::string(1, '\0') + "5", "0"}, {"-2.5", "-2"}, {"-32768.5", "-32768"},
            {"32767.5", "error 6"}, {"-32769", "error 6"}, {"1e5", "error 6"},
            {"9E99999999999999999999", "error 6"},
            {"&H7FFF", "32767"}, {"&HFFFF", "-1"}, {"&H8000", "-32768"}, {"&hff", "255"},
            {"&H0FFFF", "error 6"}, {"&HFFFFFFFF", "-1"}, {"&HFFFF8000", "-32768"},
            {"&H000000001", "error 6"}, {"&H", "0"}, {"-&H10", "0"}, {"&O177777", "-1"},
            {"&o17", "15"}, {"&O200000", "error 6"}, {"&O37777700000", "-32768"},
            {"&O40000000000", "error 6"}, {"&O000000000000000017", "15"}, {nines, "error 6"},
            {"1." + std::string(9998, '6'), "2"}, {"1e" + nines, "error 6"}, {"1e-" + nines, "0"},
            {"&H" + std::string(10000, 'F'), "error 6"}, {std::string(9998, ' ') + "12", "12"},
            {std::string(10000, '-'), "0"}, {"0." + std::string(10000, '0') + "1", "0"}};
        // clang-format on
        for (const auto &[text, number] : rows)
            QVERIFY2(boxNumber(text) == number, text.substr(0, 40).c_str());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt32(2147483647.5));
        QCOMPARE(toInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, addInt16(32767, 1));
    }

    // Seven significant digits, "." whatever the locale.
    void writesSingleQuotients() {
        QCOMPARE(singleText(250.0f / 15.0f), std::string("16.66667"));
        QCOMPARE(singleText(1500.0f / 15.0f), std::string("100"));
        QCOMPARE(singleText(-0.0f), std::string("0"));
        const std::string saved = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
            QSKIP("the ru_RU.UTF-8 locale is not installed (scripts/install-deps.sh makes it)");
        const std::string line = dragLine(1, 37.5f, -2.5f);
        const double read = numericPrefix("2.5");
        std::setlocale(LC_ALL, saved.c_str());
        QCOMPARE(line, std::string("XY(1).X=37.5: XY(1).Y=-2.5\r\n"));
        QCOMPARE(read, 2.5);
    }

    // 500 vertices fit; the next one stores itself in slot 500 and stops at its closing copy. Of
    // one drag's vertices that do not fit, the first is reported, and again after a mouse-down.
    void reportsAFullOutlineOncePerMouseDown() {
        Outline outline;
        CapacityNotice notice;
        auto reports = [&](int attempts) {
            int reported = 0;
            for (int i = 0; i < attempts; ++i) {
                try {
                    notice.captureVertex(outline, int16_t(1000 + i), 3);
                } catch (const RuntimeError &error) {
                    reported += error.number() == ErrSubscriptOutOfRange;
                }
            }
            return reported;
        };
        QCOMPARE(reports(2), 0);
        QVERIFY(outline.XY[2].X == 1000 && outline.FirstX == 1000); // the first one's closing copy
        QCOMPARE(reports(518), 1);
        QCOMPARE(outline.XY[500].X, 1517);
        QCOMPARE(outline.PointCount, int16_t(500));
        QCOMPARE(outline.ClosingLine, std::string("XY(500).X=1000: XY(500).Y=3\r\n"));
        notice.newMouseDown();
        QCOMPARE(reports(3), 1);
        outline.clear(); // a reset
        QCOMPARE(reports(505), 1);
    }

    // The horizontal scale divides the left and right edges, the vertical one the top and bottom;
    // the corner's width and height are pixels already.
    void shapesScaleEachAxis() {
        QCOMPARE(shapecode::ellipseRegionArguments({120, 120, 120, 120}, 12, 15),
                 (std::array<int32_t, 4>{10, 8, 10, 8}));
        QCOMPARE(shapecode::roundRectRegionArguments({120, 120, 120, 120, 120, 120}, 12, 15),
                 (std::array<int32_t, 6>{10, 8, 10, 8, 120, 120}));
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
