#include "exchange/ui/frmIMPORTA.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/Session.h"
#include "archive/Statement.h"
#include "settings/AppState.h"
#include "common/DialogService.h"
#include "exchange/ExchangeError.h"
#include "common/AppContext.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace velomar::exchange::ui {

namespace {

const QString kAll = QLatin1String(Importer::AllGroups);

// Group codes: capitals and digits, small letters raised, "*" for patterns.
class GroupKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !text.at(0).isPrint())
            return false; // editing and navigation keys pass
        const QChar c = text.at(0);
        auto* edit = static_cast<QLineEdit*>(watched);
        if (c == QLatin1Char('*') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
            (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) {
            return false;
        }
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            edit->insert(c.toUpper());
            return true;
        }
        return true; // any other key is discarded
    }
};

} // namespace

frmIMPORTA::frmIMPORTA(common::AppContext& context, QWidget* parent)
    : QDialog(parent), m_ctx(context) {
    setObjectName(QStringLiteral("frmIMPORTA"));
    setWindowTitle(QStringLiteral("Importazione Dati"));
    setModal(true);
    m_opener = [](const QString& path, archive::ArchiveFile::Access access) {
        return archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses, access);
    };

    fraDATI = new QGroupBox(this);
    fraDATI->setObjectName(QStringLiteral("fraDATI"));
    lblARCH_ = new QLabel(QStringLiteral("Nome Archivio da cui importare i Dati:"), fraDATI);
    txtFILE = new QLineEdit(fraDATI);
    txtFILE->setObjectName(QStringLiteral("txtFILE"));
    txtFILE->setMinimumWidth(360);
    cmdTROVA = new QPushButton(QStringLiteral("Trova l'Archivio"), fraDATI);
    cmdTROVA->setObjectName(QStringLiteral("cmdTROVA"));
    lblGRUPPO_ = new QLabel(QStringLiteral("Gruppo da Importare (* per tutto l'Archivio):"), fraDATI);
    txtGRUPPO = new QLineEdit(fraDATI);
    txtGRUPPO->setObjectName(QStringLiteral("txtGRUPPO"));
    txtGRUPPO->setMaxLength(2);
    txtGRUPPO->setMaximumWidth(50);
    txtGRUPPO->installEventFilter(new GroupKeyFilter(txtGRUPPO));
    lblARCH_->setBuddy(txtFILE);
    lblGRUPPO_->setBuddy(txtGRUPPO);
    auto* data = new QGridLayout(fraDATI);
    data->addWidget(lblARCH_, 0, 0, 1, 2);
    data->addWidget(txtFILE, 1, 0);
    data->addWidget(cmdTROVA, 1, 1);
    data->addWidget(lblGRUPPO_, 2, 0);
    data->addWidget(txtGRUPPO, 2, 1, Qt::AlignLeft);

    cmdImporta = new QPushButton(QStringLiteral("Importa"), this);
    cmdImporta->setObjectName(QStringLiteral("cmdImporta"));
    cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    BARRA = new QProgressBar(this);
    BARRA->setObjectName(QStringLiteral("BARRA"));
    BARRA->setTextVisible(false);
    BARRA->hide();

    auto* layout = new QGridLayout(this);
    layout->addWidget(fraDATI, 0, 0, 2, 1);
    layout->addWidget(cmdImporta, 0, 1);
    layout->addWidget(cmdChiudi, 1, 1, Qt::AlignTop);
    layout->addWidget(BARRA, 2, 0, 1, 2);

    txtFILE->installEventFilter(this);
    txtGRUPPO->installEventFilter(this);
    connect(txtFILE, &QLineEdit::textChanged, this, [this] { txtGRUPPO->setFocus(); });
    connect(cmdTROVA, &QPushButton::clicked, this, &frmIMPORTA::cmdTROVA_Click);
    connect(cmdImporta, &QPushButton::clicked, this, &frmIMPORTA::cmdImporta_Click);
    connect(cmdChiudi, &QPushButton::clicked, this, &frmIMPORTA::cmdChiudi_Click);
}

bool frmIMPORTA::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::FocusIn) {
        const QString trimmed = edit->text().trimmed();
        if (trimmed != edit->text()) {
            const QSignalBlocker block(edit);
            edit->setText(trimmed);
        }
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (edit == txtGRUPPO && event->type() == QEvent::FocusOut) {
        txtGRUPPO_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmIMPORTA::txtGRUPPO_LostFocus() {
    const QString text = txtGRUPPO->text().trimmed();
    if (text.size() == 1)
        txtGRUPPO->setText(text + text);
}

void frmIMPORTA::cmdTROVA_Click() {
    common::FileDialogOptions options;
    options.title = QStringLiteral("Importazione Dati");
    options.folder = m_ctx.state.lastDirArch;
    options.filter = QStringLiteral("Tutti i file (*.*)|*.*|Files Archivi (*.mdb)|*.mdb|");
    options.filterIndex = 2;
    options.defaultSuffix = QStringLiteral(".mdb");
    if (const auto chosen = m_ctx.dialogs.openFile(options))
        txtFILE->setText(chosen->trimmed());
}

void frmIMPORTA::cmdImporta_Click() {
    txtGRUPPO_LostFocus();
    const QString path = txtFILE->text().trimmed();
    const QString group = txtGRUPPO->text().trimmed();
    if (path.isEmpty()) {
        m_ctx.dialogs.info(QStringLiteral("Selezionare il File da cui importare i Dati !"));
        txtFILE->setFocus();
        return;
    }
    Importer probe(m_ctx.session.mainDb, m_ctx.state.currentArchivePath);
    if (probe.isTargetArchive(path)) {
        m_ctx.dialogs.info(QStringLiteral("Impossibile importare i Dati dall'Archivio attuale !"));
        txtFILE->setFocus();
        return;
    }
    if (group.isEmpty()) {
        m_ctx.dialogs.info(QStringLiteral("Selezionare un Gruppo !"));
        txtGRUPPO->setFocus();
        return;
    }
    runImport(path, group);
}

void frmIMPORTA::runImport(const QString& path, const QString& group) {
    Importer importer(m_ctx.session.mainDb, m_ctx.state.currentArchivePath);
    m_ctx.state.callerMode = QStringLiteral("Impo");
    try {
        // Read-only: whether the addresses are also deleted is asked after the copy.
        importer.openSource(path, group, m_opener, Importer::Use::Copy);
    } catch (const archive::DatabaseError& error) {
        m_ctx.dialogs.critical(archive::FailureText::of(error, path));
        m_ctx.state.callerMode = QStringLiteral("Erro");
        txtFILE->setFocus();
        return;
    } catch (const ExchangeError& error) {
        m_ctx.dialogs.info(error.description());
        txtFILE->setFocus();
        return;
    } catch (const common::AppError& error) {
        m_ctx.dialogs.critical(archive::FailureText::of(error)); // a malformed group pattern
        txtGRUPPO->setFocus();
        return;
    }

    QString countFailure;
    const QString n = [&] {
        try {
            return QString::number(importer.sourceCount());
        } catch (const common::AppError& error) {
            countFailure = archive::FailureText::of(error, path);
            return QString();
        }
    }();
    if (n.isEmpty() || n == QLatin1String("0")) {
        if (n.isEmpty())
            m_ctx.dialogs.critical(countFailure);
        else
            m_ctx.dialogs.warn(group == kAll
                                   ? QStringLiteral("L'archivio di Origine è vuoto !")
                                   : QStringLiteral("Nessun Indirizzo da Importare con Gruppo ") +
                                         group + QStringLiteral(" !"));
        importer.closeSource();
        txtGRUPPO->setFocus();
        return;
    }
    const QString question =
        (group == kAll ? QStringLiteral("Verranno importati %1 Indirizzi !").arg(n)
                       : QStringLiteral("Verranno importati %1 Indirizzi con Gruppo %2 !").arg(n, group)) +
        QStringLiteral("\nContinuare ?");
    if (!m_ctx.dialogs.askYesNo(question, common::MsgResult::No)) {
        importer.closeSource();
        txtFILE->setFocus();
        return;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    BARRA->setRange(0, 1000);
    BARRA->setValue(0);
    BARRA->show();
    BARRA->repaint();
    try {
        m_imported += importer.copy([this](qint64 done, qint64 total) {
            BARRA->setValue(total > 0 ? int(std::min(done, total) * 1000 / total) : 0);
            BARRA->repaint();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    } catch (const common::AppError& error) {
        // The copy is one transaction: nothing of it reached the open archive.
        QApplication::restoreOverrideCursor();
        BARRA->hide();
        adjustSize(); // back to the height without the bar
        const auto* exchange = dynamic_cast<const ExchangeError*>(&error);
        m_ctx.dialogs.critical(exchange && exchange->code() == ExchangeError::TargetMoved
                                   ? error.description()
                                   : archive::FailureText::of(error));
        importer.closeSource();
        cmdChiudi->setFocus();
        return;
    }
    BARRA->setValue(BARRA->maximum());
    QThread::msleep(200);
    BARRA->hide();
    adjustSize(); // back to the height without the bar
    QApplication::restoreOverrideCursor();

    if (m_ctx.dialogs.askYesNo(QStringLiteral("Importazione Dati terminata.\nCancellare gli "
                                              "Indirizzi importati\ndall'Archivio di origine ?"),
                               common::MsgResult::No)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            importer.deleteCopiedFromSource();
            QApplication::restoreOverrideCursor();
            m_ctx.dialogs.info(QStringLiteral("Cancellazione terminata."));
        } catch (const ExchangeError& error) {
            // Read-only source, target moved, source changed: the text says what was kept.
            QApplication::restoreOverrideCursor();
            m_ctx.dialogs.critical(error.description());
        } catch (const common::AppError& error) {
            QApplication::restoreOverrideCursor();
            m_ctx.dialogs.critical(archive::FailureText::of(error) +
                                   QStringLiteral("\nNessun indirizzo è stato cancellato."));
        }
    }
    importer.closeSource();
    cmdChiudi->setFocus();
}

void frmIMPORTA::cmdChiudi_Click() {
    try {
        archive::Statement st(m_ctx.session.mainDb, QStringLiteral("SELECT COUNT(*) FROM TabMAIL"));
        if (st.step())
            m_ctx.state.archiveCount = st.integer(0);
    } catch (const common::AppError&) {
        // The count stays as it was; the grid reloads on its own count.
    }
    accept();
}

} // namespace velomar::exchange::ui
