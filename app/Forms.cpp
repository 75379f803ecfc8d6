#include "app/Forms.h"

#include "about/Form2.h"
#include "platform/MessageBox.h"
#include "platform/WindowFrame.h"
#include "windows/CutForm.h"
#include "windows/OutForm.h"

Forms::Forms(QWidget *mainWindow)
    : m_mainWindow(mainWindow) {}

// Windows still open go with the main window's object; at the program's end none is left.
Forms::~Forms() {
    delete m_code;
    delete m_preview;
    delete m_about;
}

OutForm &Forms::code() {
    if (!m_code) {
        m_code = new OutForm(m_mainWindow);
        connect(m_code, &OutForm::unloading, this, [this] {
            m_code = nullptr; // it is deleted later; a use in between already gets a fresh one
            emit codeClosing();
        });
    }
    return *m_code;
}

CutForm &Forms::preview() {
    if (!m_preview) {
        m_preview = new CutForm;
        connect(m_preview, &CutForm::unloading, this, [this] {
            m_preview = nullptr;
            emit previewClosing();
        });
    }
    return *m_preview;
}

OutForm *Forms::openCode() const {
    return m_code;
}

CutForm *Forms::openPreview() const {
    return m_preview;
}

Form2 &Forms::about() {
    if (!m_about) {
        m_about = new Form2;
        connect(m_about, &Form2::unloading, this, [this] { m_about = nullptr; });
        Form2 *form = m_about;
        platform::runHandler([form] { form->Form_Load(); });
        platform::centreOnScreen(form);
    }
    return *m_about;
}
