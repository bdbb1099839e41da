#include "archive/ui/ListPrinterChoices.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velomar::archive::ui {

namespace {

// Selects the whole text when the box gets the focus.
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn)
            if (auto* edit = qobject_cast<QLineEdit*>(watched))
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        return false;
    }
};

} // namespace

ListPrinterChoices::ListPrinterChoices(QWidget* owner, const QStringList& headings, const QString& fieldsCaption,
                                       const QString& descCaption, const QString& resultCaption)
    : QObject(owner) {
    fraEsporta = new QGroupBox(fieldsCaption, owner);
    fraEsporta->setObjectName(QStringLiteral("fraEsporta"));
    auto* grid = new QGridLayout(fraEsporta);
    for (int f = 0; f < 17; ++f) {
        auto* box = new QCheckBox(headings.value(f), fraEsporta);
        box->setObjectName(QStringLiteral("ckCampo_%1").arg(f));
        grid->addWidget(box, f % 6, f / 6);
        connect(box, &QCheckBox::toggled, this, &ListPrinterChoices::fieldsChanged);
        ckCampo[std::size_t(f)] = box;
    }

    fraINTERVALLO = new QGroupBox(QStringLiteral("Intervallo"), owner);
    fraINTERVALLO->setObjectName(QStringLiteral("fraINTERVALLO"));
    auto* ranges = new QVBoxLayout(fraINTERVALLO);
    const QStringList captions = {QStringLiteral("Tutto l'Archivio (Ord. Cognome)"),
                                  QStringLiteral("Solo Lista Visualizzata"),
                                  QStringLiteral("Solo Selezione")};
    auto* group = new QButtonGroup(this);
    for (int i = 1; i <= 3; ++i) {
        auto* option = new QRadioButton(captions[i - 1], fraINTERVALLO);
        option->setObjectName(QStringLiteral("OptInt_%1").arg(i));
        group->addButton(option, i);
        ranges->addWidget(option);
        OptInt[std::size_t(i)] = option;
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                showRangeCount();
        });
    }

    lblDESC_ = new QLabel(descCaption, owner);
    lblDESC_->setObjectName(QStringLiteral("lblDESC_"));
    txtDESC = new QLineEdit(owner);
    txtDESC->setObjectName(QStringLiteral("txtDESC"));
    txtDESC->installEventFilter(new SelectAllOnFocus(txtDESC));
    lblDESC_->setBuddy(txtDESC);

    fraRESULT = new QGroupBox(owner);
    fraRESULT->setObjectName(QStringLiteral("fraRESULT"));
    auto* result = new QGridLayout(fraRESULT);
    lblResult_ = new QLabel(resultCaption, fraRESULT);
    lblResult_->setObjectName(QStringLiteral("lblResult_"));
    lblTotInd = new QLabel(fraRESULT);
    lblTotInd->setObjectName(QStringLiteral("lblTotInd"));
    QFont big = lblTotInd->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblTotInd->setFont(big);
    result->addWidget(lblResult_, 0, 0);
    result->addWidget(lblTotInd, 1, 0);

    BARRA = new QProgressBar(owner);
    BARRA->setObjectName(QStringLiteral("BARRA"));
    BARRA->setTextVisible(false);
    BARRA->hide();
}

void ListPrinterChoices::setSortText(const QString& sortText) {
    const QString suffix = QStringLiteral(" (Ord. ") + sortText + QLatin1Char(')');
    OptInt[2]->setText(QStringLiteral("Solo Lista Visualizzata") + suffix);
    OptInt[3]->setText(QStringLiteral("Solo Selezione") + suffix);
}

void ListPrinterChoices::setRangeCounts(qint64 archive, qint64 displayed, qint64 selection) {
    m_counts = {0, archive, displayed, selection};
    showRangeCount();
}

void ListPrinterChoices::load(settings::Settings& store, settings::Settings::FieldSection section) {
    for (int f = 0; f < 17; ++f)
        ckCampo[std::size_t(f)]->setChecked(store.fieldChoice(section, f).value_or(0) == 1);
    int range = store.rangeChoice(section).value_or(2);
    if (range < 1 || range > 3)
        range = 2;
    OptInt[std::size_t(range)]->setChecked(true);
    showRangeCount();
}

void ListPrinterChoices::save(settings::Settings& store,
                              settings::Settings::FieldSection section) const {
    for (int f = 0; f < 17; ++f)
        store.setFieldChoice(section, f, ckCampo[std::size_t(f)]->isChecked() ? 1 : 0);
    store.setRangeChoice(section, int(range()));
    store.sync();
}

ListPrinterChoices::FieldMask ListPrinterChoices::fields() const {
    FieldMask mask{};
    for (int f = 0; f < 17; ++f)
        mask[std::size_t(f)] = ckCampo[std::size_t(f)]->isChecked();
    return mask;
}

ListRange ListPrinterChoices::range() const {
    for (int i = 1; i <= 3; ++i)
        if (OptInt[std::size_t(i)]->isChecked())
            return ListRange(i);
    return ListRange::Displayed;
}

qint64 ListPrinterChoices::rangeCount() const { return m_counts[std::size_t(range())]; }

void ListPrinterChoices::showRangeCount() {
    lblTotInd->setText(QLocale(QLocale::Italian, QLocale::Italy).toString(rangeCount()));
}

void ListPrinterChoices::progress(qint64 done, qint64 total) {
    // The bar works in permille so that counts past the int range still fit.
    BARRA->setRange(0, 1000);
    BARRA->setValue(total > 0 ? int(std::min<qint64>(done, total) * 1000 / total) : 0);
    if (!BARRA->isVisible())
        BARRA->show();
    BARRA->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ListPrinterChoices::hideProgress() { BARRA->hide(); }

} // namespace velomar::archive::ui
