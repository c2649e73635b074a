// Printing to a real printer: a private CUPS scheduler with a cups-pdf queue as
// its default printer. A filled application goes through the program's own
// printing path, and the barcode is read back from the PDF that CUPS wrote.
// The cups-pdf backend only runs under a scheduler started as root; elsewhere
// the test says why and is skipped.
#include "tests/support/CarpetaPrograma.h"
#include "tests/support/ImpresoLeido.h"
#include "tests/documents/Relleno.h"

#include "documents/CodigoImpreso.h"
#include "documents/ModWord.h"
#include "form/EscrituraSolicitud.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/MessageBox.h"
#include "shell/frmProgresoGeneral.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A scheduler of our own: configuration, spool and output in a temporary folder,
// listening on a socket there. Only the queue's cups-pdf settings must lie in
// /etc/cups, where the backend looks for them; they go when the test ends.
class ServidorCups {
public:
    ~ServidorCups()
    {
        if (cupsd_.state() != QProcess::NotRunning) {
            cupsd_.terminate();
            if (!cupsd_.waitForFinished(10000))
                cupsd_.kill();
            cupsd_.waitForFinished(5000);
        }
        if (!ajustesPdf_.isEmpty())
            QFile::remove(ajustesPdf_);
    }

    // Empty when the scheduler runs with the queue as its default; else why not.
    QString Arrancar()
    {
        if (geteuid() != 0)
            return QStringLiteral("the cups-pdf backend runs only under a scheduler started as root");
        for (const char* f : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/lib/cups/backend/cups-pdf",
                 "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"})
            if (!QFile::exists(QString::fromLatin1(f)))
                return QStringLiteral("%1 is not installed (packages cups, printer-driver-cups-pdf)").arg(f);
        if (!dir_.isValid() || !QDir("/etc/cups").exists())
            return QStringLiteral("no folder for the scheduler's files");
        // The filters run as the lp user: it must reach the folder and its temporary files.
        QFile::setPermissions(dir_.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther);
        for (const char* sub : {"spool", "cache", "state", "log", "salida", "cups-pdf"})
            QDir(dir_.path()).mkpath(QString::fromLatin1(sub));
        QDir(dir_.path()).mkpath(QStringLiteral("tmp"));
        ::chmod(QFile::encodeName(Ruta("tmp")).constData(), 01777);

        cola_ = QStringLiteral("varelio-prueba-%1").arg(QCoreApplication::applicationPid());
        Escribir(QStringLiteral("cupsd.conf"),
            QStringLiteral("Listen %1\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                           "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                           "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                           "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                .arg(Socket()));
        Escribir(QStringLiteral("cups-files.conf"),
            QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                           "TempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                           "PageLog %1/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                           "User lp\nGroup lp\nSystemGroup root\n")
                .arg(dir_.path()));
        ajustesPdf_ = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(cola_);
        QFile ajustes(ajustesPdf_);
        if (!ajustes.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write %1").arg(ajustesPdf_);
        ajustes.write(
            QStringLiteral("Out %1/salida\nSpool %1/cups-pdf\nLog %1/log\nGrp root\n").arg(dir_.path()).toUtf8());
        ajustes.close();

        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        cupsd_.start(QStringLiteral("/usr/sbin/cupsd"),
            {QStringLiteral("-f"), QStringLiteral("-c"), Ruta("cupsd.conf"), QStringLiteral("-s"),
                Ruta("cups-files.conf")});
        if (!cupsd_.waitForStarted(10000))
            return QStringLiteral("cupsd did not start: %1").arg(cupsd_.errorString());
        qputenv("CUPS_SERVER", Socket().toLocal8Bit());
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        QDeadlineTimer plazo(20000);
        while (!Responde()) {
            if (cupsd_.state() == QProcess::NotRunning || plazo.hasExpired())
                return QStringLiteral("cupsd is not answering: %1 %2")
                    .arg(QString::fromLocal8Bit(cupsd_.readAll()), Registro());
            QThread::msleep(100);
        }
        const QString alta = Ordenar(QStringLiteral("lpadmin"),
            {QStringLiteral("-p"), cola_, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("cups-pdf:/") + cola_, QStringLiteral("-P"),
                QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")});
        if (!alta.isEmpty())
            return QStringLiteral("the cups-pdf queue could not be added: ") + alta;
        if (const QString d = Ordenar(QStringLiteral("lpadmin"), {QStringLiteral("-d"), cola_}); !d.isEmpty())
            return QStringLiteral("the queue could not be made the default: ") + d;
        return {};
    }

    // The PDF cups-pdf wrote, once no job is left; empty after `ms` without one.
    QString EsperarPdf(int ms)
    {
        QDeadlineTimer plazo(ms);
        while (!plazo.hasExpired()) {
            QProcess pendientes;
            pendientes.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), cola_});
            pendientes.waitForFinished(10000);
            const QStringList pdfs = QDir(Ruta("salida")).entryList({QStringLiteral("*.pdf")}, QDir::Files);
            if (pendientes.readAllStandardOutput().trimmed().isEmpty() && !pdfs.isEmpty())
                return Ruta("salida/") + pdfs.first();
            QThread::msleep(200);
        }
        return {};
    }

    QString cola() const { return cola_; }
    QString Registro() const
    {
        QFile f(Ruta("log/error_log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(3000)) : QString();
    }

private:
    QString Ruta(const QString& relativa) const { return dir_.filePath(relativa); }
    QString Socket() const { return Ruta("cups.sock"); }
    void Escribir(const QString& nombre, const QString& texto)
    {
        QFile f(Ruta(nombre));
        if (f.open(QIODevice::WriteOnly))
            f.write(texto.toUtf8());
    }
    static bool Responde()
    {
        QProcess p;
        p.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
        p.waitForFinished(5000);
        return p.readAllStandardOutput().trimmed() == "scheduler is running";
    }
    // Runs a CUPS command; empty on success, else what it said.
    static QString Ordenar(const QString& programa, const QStringList& argumentos)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(programa, argumentos);
        if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return programa + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAll()).trimmed() + QLatin1Char(' ');
        return {};
    }

    QTemporaryDir dir_;
    QProcess cupsd_;
    QString cola_;
    QString ajustesPdf_;
};

} // namespace

class tst_ImpresoraCups : public QObject {
    Q_OBJECT

    std::unique_ptr<ServidorCups> cups;
    QString sinCups;

private slots:
    void initTestCase()
    {
        cups = std::make_unique<ServidorCups>();
        sinCups = cups->Arrancar();
        MessageBox::setTestMode(true);
        Word::setProvider(nullptr);
        Word::setPrintOutputPdf({}); // the default printer
    }
    void cleanupTestCase()
    {
        Word::quitAllInstances();
        cups.reset();
    }

    void filledApplicationPrintsOnTheDefaultQueueWithAReadableBarcode()
    {
        if (!sinCups.isEmpty())
            QSKIP(qPrintable(QStringLiteral("CUPS printing not tested: ") + sinCups));
        CarpetaPrograma carpeta;
        frmSolicitudes f;
        Rellenar(f);
        estado().strDatosCodigo = f.GenerarDatosCodigo();
        MessageBox::clear();
        frmProgresoGeneral progreso;
        EscrituraSolicitud::Generar(&ModWord::GenerarDocumentoWXP, QStringLiteral("12345678Z.doc"),
            estado().strRutaTemp, f, &progreso, f.Stelcodex1, true, false);

        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY2(MessageBox::shown().first().text.startsWith(QStringLiteral("IMPORTANTE")), // not the no-printer PDF
            qPrintable(MessageBox::shown().first().text));
        const QString pdf = cups->EsperarPdf(60000);
        QVERIFY2(!pdf.isEmpty(), qPrintable(QStringLiteral("cups-pdf wrote nothing:\n") + cups->Registro()));
        QCOMPARE(CodigoDelPdf(pdf), CodigoImpreso::BytesCodificados(estado().strDatosCodigo));
        QVERIFY(estado().strDatosCodigo.contains(QStringLiteral("Mu&noz Pe&na")));
    }
};

QTEST_MAIN(tst_ImpresoraCups)
#include "tst_ImpresoraCups.moc"
