#pragma once

#include "core/ModuleDetail.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The longer text a module shows under one of its lines (a container's log): read-only plain
// text in a box of its own height, a button that copies all of it and one that reads it again.
// New text scrolls to its end, where the latest lines of a log are.
class ModuleDocumentView final : public QWidget {
    Q_OBJECT
public:
    explicit ModuleDocumentView(QWidget *parent = nullptr);

    void setDocument(const ModuleDocument &document);
    QPlainTextEdit *textView() const { return m_text; }

private:
    ModuleDocument m_document;
    QPlainTextEdit *m_text;
    QPushButton *m_copy;
    QPushButton *m_refresh;
};
