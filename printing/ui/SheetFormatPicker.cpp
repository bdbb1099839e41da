#include "printing/ui/SheetFormatPicker.h"

#include "printing/ui/CustomSheetDialog.h"
#include "printing/ui/SheetView.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velomar::printing::ui {

SheetFormatPicker::SheetFormatPicker(common::DialogService& dialogs, SheetCatalog catalog,
                                     const SheetFormat& current, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_catalog(std::move(catalog)), m_selected(current) {
    // A stored format the catalogue no longer lists (a template since uninstalled) stays
    // the choice, as stored, until another is picked.
    setObjectName(QStringLiteral("SheetFormatPicker"));

    lblCerca = new QLabel(QStringLiteral("Ce&rca"), this);
    txtCerca = new QLineEdit(this);
    txtCerca->setObjectName(QStringLiteral("txtCerca"));
    txtCerca->setPlaceholderText(QStringLiteral("marca, codice o misure"));
    txtCerca->setClearButtonEnabled(true);
    txtCerca->setToolTip(QStringLiteral("Mostra solo i fogli il cui nome, marca o codice contiene "
                                        "tutte le parole scritte (es. \"Avery L7160\" o \"70x36\")"));
    lblCerca->setBuddy(txtCerca);
    lstFormati = new QListWidget(this);
    lstFormati->setObjectName(QStringLiteral("lstFormati"));
    lstFormati->setMinimumWidth(220);
    // Long template names end in "…" (the tooltip has them whole) rather than scroll sideways.
    lstFormati->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstFormati->setTextElideMode(Qt::ElideRight);
    lstFormati->setMinimumHeight(lstFormati->fontMetrics().height() * 9);
    picFoglio = new SheetView(this);
    picFoglio->setObjectName(QStringLiteral("picFoglio"));
    picFoglio->setFixedSize(picFoglio->sizeHint() * 0.75);
    lblFormato = new QLabel(this);
    lblFormato->setObjectName(QStringLiteral("lblFormato"));
    lblFormato->setWordWrap(true);
    lblFormato->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Name, shape and two lines of makers' parts, whatever the wrapping decides.
    lblFormato->setMinimumHeight(lblFormato->fontMetrics().lineSpacing() * 4 + 4);
    lblFormato->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdPersonalizzato = new QPushButton(QStringLiteral("&Personalizzato..."), this);
    cmdPersonalizzato->setObjectName(QStringLiteral("cmdPersonalizzato"));
    cmdPersonalizzato->setAutoDefault(false);
    cmdPersonalizzato->setToolTip(QStringLiteral("Inserisci le misure di un foglio che non è nell'elenco"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblCerca, 0, 0);
    grid->addWidget(txtCerca, 0, 1);
    grid->addWidget(lstFormati, 1, 0, 1, 2);
    grid->addWidget(picFoglio, 0, 2, 2, 1, Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(lblFormato, 2, 0, 1, 2);
    grid->addWidget(cmdPersonalizzato, 2, 2, Qt::AlignBottom);
    grid->setColumnStretch(1, 1);

    connect(txtCerca, &QLineEdit::textChanged, this, &SheetFormatPicker::fill);
    connect(lstFormati, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < int(m_shown.size()))
            choose(m_shown[std::size_t(row)]);
    });
    connect(cmdPersonalizzato, &QPushButton::clicked, this, &SheetFormatPicker::cmdPersonalizzato_Click);
    fill();
    choose(m_selected);
}

void SheetFormatPicker::fill() {
    m_shown = m_catalog.search(txtCerca->text());
    const QSignalBlocker block(lstFormati);
    lstFormati->clear();
    int current = -1;
    for (const SheetFormat& f : m_shown) {
        // Built-in names already say the shape; templates are named by maker and part.
        const QString text = f.source == SheetFormat::Source::BuiltIn
                                 ? f.name
                                 : QStringLiteral("%1  –  %2").arg(f.name, f.shapeText());
        auto* item = new QListWidgetItem(text, lstFormati);
        item->setToolTip(f.shapeText() + QLatin1Char('\n') + f.description);
        if (f.name == m_selected.name)
            current = lstFormati->count() - 1;
    }
    // The choice stays when the search hides it.
    lstFormati->setCurrentRow(current);
}

void SheetFormatPicker::choose(const SheetFormat& format) {
    m_selected = format;
    picFoglio->setFormat(format);
    QString text = format.shapeText();
    if (!format.description.isEmpty() && format.description != text)
        text += QLatin1Char('\n') + format.description;
    lblFormato->setText(QStringLiteral("%1\n%2").arg(format.name, text));
}

bool SheetFormatPicker::select(const QString& name) {
    const auto found = m_catalog.find(name);
    if (!found)
        return false;
    choose(*found);
    txtCerca->clear();
    fill();
    return true;
}

void SheetFormatPicker::cmdPersonalizzato_Click() {
    const SheetFormat start = m_catalog.find(SheetCatalog::customName()).value_or(m_selected);
    CustomSheetDialog dialog(m_dialogs, start, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_catalog.setCustom(dialog.format()); // already checked by the dialog
    select(SheetCatalog::customName());
}

} // namespace velomar::printing::ui
