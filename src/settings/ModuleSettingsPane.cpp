#include "settings/ModuleSettingsPane.h"

#include "core/ModuleRegistry.h"
#include "settings/ModuleDetailList.h"
#include "settings/ModuleListEditor.h"
#include "settings/PaneLayout.h"
#include "widgets/SettingsBlocks.h"
#include "widgets/SettingsStyle.h"
#include "widgets/ToggleSwitch.h"

#include <QLabel>
#include <QPainter>

namespace {

// One line of secondary text cut with an ellipsis where it does not fit; screen readers get
// the whole text.
class ElidedLabel final : public QLabel {
public:
    using QLabel::QLabel;

    QSize minimumSizeHint() const override { return { 1, QLabel::minimumSizeHint().height() }; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
        painter.drawText(contentsRect(), int(alignment()), shown);
    }
};

} // namespace

ModuleSettingsPane::ModuleSettingsPane(ModuleRegistry &registry, PreferenceStore &preferences, const QString &moduleID,
    const QString &note, QWidget *parent)
    : QWidget(parent)
    , m_registry(registry)
    , m_preferences(preferences)
    , m_moduleID(moduleID)
    , m_content(new QWidget(this))
    , m_contentLayout(makePaneLayout(*m_content))
    , m_partsLayout(new QVBoxLayout)
    , m_missing(new QLabel(tr("Modul nicht verfügbar."), this))
    , m_status(new ElidedLabel)
    , m_error(new SettingsMessage)
    , m_details(new ModuleDetailList)
{
    auto *layout = makePaneLayout(*this);
    SettingsStyle::makeSecondary(*m_missing);
    layout->addWidget(m_missing);
    layout->addWidget(m_content);

    m_contentLayout->setSpacing(10);
    auto *section = new SettingsSection(tr("Modul"), m_content);
    SettingsCard *card = section->card();
    m_toggle = card->addToggleRow(tr("Modul aktiv"));
    card->addWidget(new SettingsDivider(card));
    SettingsStyle::makeSecondary(*m_status);
    m_status->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_status->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    card->addWidget(new SettingsRow(tr("Status"), m_status, card));
    card->addWidget(m_error);
    m_contentLayout->addWidget(section);

    auto *noteLabel = new QLabel(note, m_content);
    noteLabel->setWordWrap(true);
    noteLabel->setContentsMargins(4, 0, 4, 0);
    SettingsStyle::setFont(*noteLabel, 13);
    SettingsStyle::makeSecondary(*noteLabel);
    m_contentLayout->addWidget(noteLabel);
    // The module's own list comes here once the module is known; its lines below it.
    m_partsLayout->setContentsMargins(0, 10, 0, 0);
    m_partsLayout->setSpacing(20);
    m_partsLayout->addWidget(m_details);
    m_contentLayout->addLayout(m_partsLayout);

    connect(m_toggle, &ToggleSwitch::toggled, this, [this](bool on) { m_registry.setEnabled(on, m_moduleID); });
    connect(&m_registry, &ModuleRegistry::moduleAdded, this, &ModuleSettingsPane::refresh);
    connect(&m_registry, &ModuleRegistry::enabledChanged, this, &ModuleSettingsPane::refresh);
    refresh();
}

void ModuleSettingsPane::refresh()
{
    DevModule *module = m_registry.module(m_moduleID);
    m_missing->setVisible(!module);
    m_content->setVisible(module);
    if (!module)
        return;
    if (m_watchedModule != module) {
        if (m_watchedModule)
            disconnect(m_watchedModule, nullptr, this, nullptr);
        m_watchedModule = module;
        connect(module, &DevModule::changed, this, &ModuleSettingsPane::refresh);
        if (std::optional<ModuleListSetting> list = module->listSetting())
            m_partsLayout->insertWidget(0, new ModuleListEditor(m_preferences, std::move(*list), m_content));
    }
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(m_registry.isEnabled(m_moduleID));
    const auto status = module->compactStatus();
    m_status->setText(status ? status->text : tr("Keine Daten"));
    m_error->setMessage(module->errorText().value_or(QString()));
    m_details->setDetails(module->details(), QDateTime::currentDateTimeUtc());
}
