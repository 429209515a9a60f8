#include "settings/ModuleDocumentView.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

ModuleDocumentView::ModuleDocumentView(QWidget *parent)
    : QWidget(parent)
    , m_text(new QPlainTextEdit(this))
    , m_copy(new QPushButton(tr("Kopieren"), this))
    , m_refresh(new QPushButton(tr("Aktualisieren"), this))
{
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFixedHeight(220);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 0, 16, 12);
    layout->setSpacing(8);
    layout->addWidget(m_text);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_refresh);
    layout->addLayout(buttons);
    connect(m_copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(m_document.text); });
    connect(m_refresh, &QPushButton::clicked, this, [this] {
        if (!m_document.loading && m_document.refresh)
            m_document.refresh();
    });
}

void ModuleDocumentView::setDocument(const ModuleDocument &document)
{
    const bool newText = document.text != m_document.text || m_text->document()->isEmpty();
    m_document = document;
    m_text->setAccessibleName(document.title);
    m_copy->setAccessibleName(tr("%1 kopieren").arg(document.title));
    m_refresh->setAccessibleName(tr("%1 aktualisieren").arg(document.title));
    m_refresh->setEnabled(!document.loading);
    if (newText) {
        m_text->setPlainText(document.text);
        m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
    }
}
