// The program's rules in plain C++, without a window.
#include "app/Commands.h"

#include <QtTest>

#include <functional>
#include <map>

class TestRules : public QObject {
    Q_OBJECT

private slots:
    // Every row of the menu's state table. Flags as "&Пример" then "&Код", 1 for enabled.
    void commandStates_data() {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("pointCount");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        for (const char *row :
             {"mouseDown 1 00 00", "mouseDown 2 00 10", "mouseDown 0 10 10", "mouseDown 5 01 11",
              "startOver 3 11 10", "reset 3 11 00", "polygon 3 10 01", "polygon 2 10 00",
              "polygon 2 11 01", "polygon 0 10 00", "shape 0 00 01", "shape 3 10 11",
              "codeWindowClosed 3 11 00", "previewClosed 3 11 01", "previewClosed 3 10 00"}) {
            const QStringList cells = QString::fromLatin1(row).split(u' ');
            QTest::newRow(row) << cells[0] << cells[1].toInt() << cells[2] << cells[3];
        }
    }
    void commandStates() {
        QFETCH(QString, event);
        QFETCH(int, pointCount);
        QFETCH(QString, before);
        QFETCH(QString, after);
        const Commands now{before[0] == u'1', before[1] == u'1'};
        const std::map<QString, std::function<Commands()>> rules = {
            {"mouseDown", [&] { return Commands::mouseDown(now, pointCount); }},
            {"startOver", [&] { return Commands::startOver(now); }},
            {"reset", [&] { return Commands::reset(now); }},
            {"polygon", [&] { return Commands::polygon(now, pointCount); }},
            {"shape", [&] { return Commands::shape(now); }},
            {"codeWindowClosed", [&] { return Commands::codeWindowClosed(now); }},
            {"previewClosed", [&] { return Commands::previewClosed(now); }}};
        const Commands got = rules.at(event)();
        QCOMPARE(QStringLiteral("%1%2").arg(int(got.makeBut)).arg(int(got.program)), after);
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
