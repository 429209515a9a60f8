#include "settings/ModuleSettingsPane.h"

#include "core/LocalTime.h"
#include "core/ModuleRegistry.h"
#include "core/NewsHistory.h"
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

ModuleSettingsPane::ModuleSettingsPane(ModuleRegistry &registry, PreferenceStore &preferences,
    const NewsHistory &history, const LinkGate &links, DevModule &module, QWidget *parent)
    : QWidget(parent)
    , m_registry(registry)
    , m_history(history)
    , m_module(module)
    , m_status(new ElidedLabel)
    , m_error(new SettingsMessage)
    , m_details(new ModuleDetailList(links))
{
    auto *layout = makePaneLayout(*this);
    layout->setSpacing(10);
    auto *section = new SettingsSection(tr("Modul"), this);
    SettingsCard *card = section->card();
    m_toggle = card->addToggleRow(tr("Modul aktiv"));
    card->addWidget(new SettingsDivider(card));
    SettingsStyle::makeSecondary(*m_status);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_status->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    card->addWidget(new SettingsRow(tr("Status"), m_status, card));
    card->addWidget(m_error);
    layout->addWidget(section);

    auto *noteLabel = new QLabel(module.description(), this);
    noteLabel->setWordWrap(true);
    noteLabel->setContentsMargins(4, 0, 4, 0);
    SettingsStyle::setFont(*noteLabel, 13);
    SettingsStyle::makeSecondary(*noteLabel);
    layout->addWidget(noteLabel);
    // The module's own list, where it has one, and its lines below it.
    auto *parts = new QVBoxLayout;
    parts->setContentsMargins(0, 10, 0, 0);
    parts->setSpacing(20);
    if (std::optional<ModuleListSetting> list = module.listSetting())
        parts->addWidget(new ModuleListEditor(preferences, std::move(*list), this));
    parts->addWidget(m_details);
    layout->addLayout(parts);

    connect(m_details, &ModuleDetailList::paneRequested, this, &ModuleSettingsPane::paneRequested);
    connect(m_toggle, &ToggleSwitch::toggled, this, [this](bool on) { m_registry.setEnabled(on, m_module.id()); });
    connect(&m_registry, &ModuleRegistry::enabledChanged, this, &ModuleSettingsPane::refresh);
    connect(&module, &DevModule::changed, this, &ModuleSettingsPane::refresh);
    connect(&history, &NewsHistory::changed, this, &ModuleSettingsPane::refresh);
    refresh();
}

void ModuleSettingsPane::refresh()
{
    const QSignalBlocker blocker(m_toggle);
    m_toggle->setChecked(m_registry.isEnabled(m_module.id()));
    const auto status = m_module.compactStatus();
    // What the module shows may come from outside: it arrives cleaned, and is shown as plain text.
    m_status->setText(status ? status->text : tr("Keine Daten"));
    m_error->setMessage(m_module.errorText().value_or(QString()));
    QList<ModuleDetail> details = m_module.details();
    // The module's news of this session, each line opening its page like the module's own lines.
    for (const NewsHistory::Entry &entry : m_history.of(m_module.id())) {
        QString when = shortLocalTime(entry.at);
        if (!entry.interrupted)
            when += QStringLiteral(" \u00B7 ") + tr("nicht eingeblendet");
        details.append(ModuleDetail { tr("Verlauf"),
            ModuleRow { entry.event.text, when, std::nullopt, entry.event.severity, entry.event.link }, {}, {} });
    }
    m_details->setDetails(details, QDateTime::currentDateTimeUtc());
}
