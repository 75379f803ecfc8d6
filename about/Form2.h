#pragma once

#include <QWidget>

// The about window: the icon, the versioned title, the description, the rights line, the web and
// mail links, and the maker's notice. Any click on it closes it.
class Form2 : public QWidget {
    Q_OBJECT

public:
    // Shows the about window, loading it first when none is open.
    static Form2 &showWindow();
    static Form2 *loaded();

    // "Zarnik v" + major + "." + minor + "." + revision.
    static QString titleFor(int major, int minor, int revision);
    // "mailto:" + address + "?Subject=Zarnik v" + major + "." + minor + "." + revision.
    static QString mailLinkFor(const QString &address, int major, int minor, int revision);

    void Form_Load();

private:
    Form2();
    ~Form2() override;
};
