// Saving an application under real faults: a full disk (a file-size limit in a
// child process at many limits, and write failing with ENOSPC through a
// preloaded library), the program killed at random moments while saving, a
// symbolic link in the applications folder, who may read what was written, and
// text that XML cannot hold.
#include "tests/support/CarpetaPrograma.h"

#include "applications/NombresSolicitud.h"
#include "documents/BmpCodigo.h"
#include "documents/CodigoImpreso.h"
#include "documents/ModWord.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Package.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "startup/AbrirSolicitud.h"
#include "startup/Arranque.h"
#include "users/Validacion.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QXmlStreamReader>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <vector>

namespace {

const QString kDNI = QStringLiteral("12345678Z");
const QString kFichero = QStringLiteral("12345678Z.doc");
using Valores = std::map<QString, QString>;

// Two complete versions of one application; every field differs between them.
const Valores kVersionA{{QStringLiteral("NOMBRE"), QStringLiteral("Ana")},
    {QStringLiteral("PRIMERAPELLIDO"), QStringLiteral("Pérez")},
    {QStringLiteral("TITULACION"), QStringLiteral("Medicina")}, {QStringLiteral("CIUDAD"), QStringLiteral("León")},
    {QStringLiteral("EXPERIENCIA"), QStringLiteral("0")}};
const Valores kVersionB{{QStringLiteral("NOMBRE"), QStringLiteral("Beatriz")},
    {QStringLiteral("PRIMERAPELLIDO"), QStringLiteral("Gómez")},
    {QStringLiteral("TITULACION"), QStringLiteral("Enfermería")}, {QStringLiteral("CIUDAD"), QStringLiteral("Soria")},
    {QStringLiteral("EXPERIENCIA"), QStringLiteral("1")}};

void Poner(frmSolicitudes* f, const Valores& v)
{
    f->txtNombre->setText(v.at(QStringLiteral("NOMBRE")));
    f->txtApellidos->setText(v.at(QStringLiteral("PRIMERAPELLIDO")));
    f->txtTitulacion->setText(v.at(QStringLiteral("TITULACION")));
    f->txtCiudad->setText(v.at(QStringLiteral("CIUDAD")));
    f->chkDocu[1]->setCheckState(
        v.at(QStringLiteral("EXPERIENCIA")) == QLatin1String("1") ? Qt::Checked : Qt::Unchecked);
    f->txtArea[0]->setText(QStringLiteral("1"));
    f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
}

// The stored application's values, read through the word processor; empty when
// it does not open.
Valores Leer(const QString& ruta)
{
    Valores v;
    try {
        Word::DocumentsCollection docs;
        Word::Document& d = docs.Add(ruta);
        for (const auto& [tag, valor] : kVersionA)
            v[tag] = d.FormFields().Item(tag).Result();
    } catch (const std::exception&) {
        v.clear();
    }
    return v;
}

QByteArray Bytes(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

unsigned Modo(const QString& ruta)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(ruta).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QStringList Temporales()
{
    return QDir(estado().strRutaTemp).entryList({QStringLiteral("*.part-*")}, QDir::Files | QDir::Hidden);
}

bool DijoQueNoSeGuardo(const QString& motivo)
{
    for (const auto& m : MessageBox::shown())
        if (m.text.startsWith(QStringLiteral("La solicitud no se ha guardado.")) && m.text.contains(motivo)
            && m.icon == QMessageBox::Critical)
            return true;
    return false;
}

// State for a program folder that the test (or its child) works in.
void Preparar(const QString& programa) { CarpetaPrograma::SesionEn(programa, kDNI); }

frmSolicitudes* AbrirFormulario(const QString& fichero = {})
{
    estado().strFicheroSeleccionado = fichero;
    if (!ModGeneral::AbrirSolicitud())
        return nullptr;
    frmSolicitudes* f = estado().frmSolicitudActual;
    estado().strVersionWord = QStringLiteral("12");
    for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar})
        f->mnuP.at(i)->setEnabled(true);
    return f;
}

// Child process run with a preloaded library: opens the stored application,
// changes it, saves through the menu, then answers "Sí" at the close prompt.
// Prints the messages shown and whether the form is still open.
int Hijo(int argc, char** argv)
{
    QApplication app(argc, argv);
    Preparar(qEnvironmentVariable("VARELIO_CARPETA"));
    frmSolicitudes* f = AbrirFormulario(kFichero);
    if (!f)
        return 3;
    Poner(f, kVersionB);
    f->mnuP.at(ComandoMenu::Guardar)->trigger();
    MessageBox::queueAnswer(QMessageBox::Yes);
    f->close();
    QTextStream out(stdout);
    for (const auto& m : MessageBox::shown())
        out << m.text << "\n---\n";
    out << (f->isVisible() ? "ABIERTO" : "CERRADO") << "\n";
    delete f; // its recovery copy's writer ends before the process does
    return 0;
}

// Child process whose folders cannot be synced (a preloaded library): a new
// application saved twice, then a registration. Prints the name the form shows,
// the messages shown and whether the registration held.
int HijoSinSincronizar(int argc, char** argv)
{
    QApplication app(argc, argv);
    Preparar(qEnvironmentVariable("VARELIO_CARPETA"));
    frmSolicitudes* f = AbrirFormulario();
    if (!f)
        return 3;
    Poner(f, kVersionA);
    f->mnuP.at(ComandoMenu::Guardar)->trigger();
    QTextStream out(stdout);
    out << f->lblFichero->text() << "\n---\n";
    Poner(f, kVersionB);
    f->mnuP.at(ComandoMenu::Guardar)->trigger();
    out << (Validacion::AltaUsuario(QStringLiteral("87654321X"), QStringLiteral("CLAVE")) ? "ALTA" : "SIN ALTA")
        << "\n---\n";
    for (const auto& m : MessageBox::shown())
        out << m.text << "\n---\n";
    f->blnCerrarSinPreguntar = true;
    delete f;
    return 0;
}

// Forks `copias` children that wait at one barrier, then run `trabajo(i)`;
// `mientras` runs in the parent until all have ended. The children's exit codes.
template <typename Trabajo, typename Mientras>
std::vector<int> AlMismoTiempo(int copias, Trabajo trabajo, Mientras mientras)
{
    int barrera[2];
    if (::pipe(barrera) != 0)
        return {};
    std::vector<pid_t> hijos;
    for (int i = 0; i < copias; ++i) {
        const pid_t hijo = ::fork();
        if (hijo == 0) {
            ::close(barrera[1]);
            char c;
            while (::read(barrera[0], &c, 1) < 0 && errno == EINTR) { }
            ::_exit(trabajo(i));
        }
        hijos.push_back(hijo);
    }
    ::close(barrera[0]);
    ::close(barrera[1]); // everyone goes at once
    std::vector<int> codigos(hijos.size(), -1);
    for (size_t quedan = hijos.size(); quedan > 0;) {
        mientras();
        for (size_t i = 0; i < hijos.size(); ++i) {
            int status = 0;
            if (codigos[i] == -1 && ::waitpid(hijos[i], &status, WNOHANG) == hijos[i]) {
                codigos[i] = WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
                --quedan;
            }
        }
    }
    return codigos;
}

} // namespace

// Runs this test program again as the child `papel` with the library
// `precarga` preloaded and the extra variables; true when it ended well, with
// its output split at its "---" lines.
static bool Hijo(const QString& papel, const char* precarga, QStringList& salida,
    const QList<std::pair<QString, QString>>& extra = {})
{
    QProcess hijo;
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("VARELIO_HIJO"), papel);
    entorno.insert(QStringLiteral("VARELIO_CARPETA"), estado().strRutaPrograma);
    for (const auto& [nombre, valor] : extra)
        entorno.insert(nombre, valor);
    entorno.insert(QStringLiteral("LD_PRELOAD"), QString::fromUtf8(precarga));
    // In a sanitizer build the preloaded library comes before the sanitizer's runtime.
    entorno.insert(QStringLiteral("ASAN_OPTIONS"),
        entorno.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    hijo.setProcessEnvironment(entorno);
    hijo.start(QCoreApplication::applicationFilePath(), {});
    if (!hijo.waitForFinished(60000) || hijo.exitStatus() != QProcess::NormalExit || hijo.exitCode() != 0)
        return false;
    salida = QString::fromUtf8(hijo.readAllStandardOutput()).split(QStringLiteral("\n---\n"));
    return true;
}

class tst_guardado : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrograma> carpeta;
    frmSolicitudes* f = nullptr;

    QString Ruta() const { return estado().strRutaTemp + kFichero; }

    // The stored application holds version A; the form shows it.
    void GuardarVersionA()
    {
        f = AbrirFormulario();
        QVERIFY(f);
        Poner(f, kVersionA);
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(Leer(Ruta()), kVersionA);
    }

private slots:
    void init()
    {
        carpeta = std::make_unique<CarpetaPrograma>();
        Preparar(estado().strRutaPrograma);
        QVERIFY(Validacion::AltaUsuario(kDNI, QStringLiteral("secreto")));
        std::signal(SIGXFSZ, SIG_IGN); // as the program does at start
    }
    void cleanup()
    {
        if (f) {
            f->blnCerrarSinPreguntar = true;
            delete f;
            f = nullptr;
        }
        Word::setPrintOutputPdf({});
        carpeta.reset();
    }

    // A save in a child under a file-size limit from 0 up to the size it needs:
    // each failing one tells the user why and leaves the stored file byte for
    // byte; the first that fits stores the new version whole.
    void discoLlenoConservaLaAnterior()
    {
        GuardarVersionA();
        const QByteArray anterior = Bytes(Ruta());
        Poner(f, kVersionB);
        int fallidos = 0;
        bool guardado = false;
        for (rlim_t limite = 0; !guardado && limite < rlim_t(anterior.size()) * 3; limite += limite < 64 ? 7 : 211) {
            const pid_t hijo = ::fork();
            if (hijo == 0) {
                const rlimit rl{limite, limite};
                ::setrlimit(RLIMIT_FSIZE, &rl);
                MessageBox::clear();
                f->GuardarSolicitud(false, false);
                if (MessageBox::shown().isEmpty())
                    ::_exit(1);
                ::_exit(DijoQueNoSeGuardo(QStringLiteral("supera el tamaño máximo")) ? 0 : 2);
            }
            int status = 0;
            QCOMPARE(::waitpid(hijo, &status, 0), hijo);
            QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) != 2, qPrintable(QString::number(limite)));
            guardado = WEXITSTATUS(status) == 1;
            if (guardado) {
                QCOMPARE(Leer(Ruta()), kVersionB);
            } else {
                ++fallidos;
                QVERIFY2(Bytes(Ruta()) == anterior, qPrintable(QString::number(limite)));
            }
            QCOMPARE(Temporales(), QStringList());
        }
        QVERIFY(guardado);
        QVERIFY(fallidos > 30);
    }

    // write fails with ENOSPC part-way (a preloaded library): "Guardar" and the
    // close prompt's "Sí" both say so, the form stays open, the file is intact.
    void sinEspacioAlEscribir_data()
    {
        QTest::addColumn<int>("bytes"); // written before the disk is full; < 0: counted back from the old size
        QTest::newRow("nothing written") << 0;
        QTest::newRow("a first block") << 4096;
        QTest::newRow("all but the end") << -100;
    }
    void sinEspacioAlEscribir()
    {
        QFETCH(int, bytes);
        GuardarVersionA();
        const QByteArray anterior = Bytes(Ruta());
        if (bytes < 0)
            bytes += int(anterior.size());
        QStringList mensajes;
        QVERIFY(Hijo(QStringLiteral("1"), VARELIO_SIN_ESPACIO, mensajes,
            {{QStringLiteral("VARELIO_SIN_ESPACIO_BYTES"), QString::number(bytes)}}));
        QCOMPARE(mensajes.size(), 4); // "Guardar", the close prompt, its save; the form
        for (int i : {0, 2})
            QVERIFY2(mensajes[i].startsWith(QStringLiteral("La solicitud no se ha guardado."))
                    && mensajes[i].contains(QStringLiteral("no queda espacio libre en el disco")),
                qPrintable(mensajes[i]));
        QCOMPARE(mensajes[1], QStringLiteral("La aplicación se cerrará, ¿desea guardar los cambios?"));
        QCOMPARE(mensajes[3].trimmed(), QStringLiteral("ABIERTO"));
        QCOMPARE(Bytes(Ruta()), anterior);
        QCOMPARE(Temporales(), QStringList());
    }

    // A child saves the same application again and again, alternating two
    // versions, and is killed at a random moment, hundreds of times. The stored
    // file always opens whole as one of the two; the next start removes every
    // temporary file a kill left.
    void matadoMientrasGuarda()
    {
        GuardarVersionA();
        QElapsedTimer reloj;
        reloj.start();
        ModWord::GenerarDocumentoWXP(kFichero, estado().strRutaTemp, f, {}, f->Stelcodex1, false, false);
        const qint64 unGuardado = std::max<qint64>(1000, reloj.nsecsElapsed() / 1000); // microseconds

        int restos = 0;
        constexpr int Muertes = 210;
        for (int i = 0; i < Muertes; ++i) {
            const pid_t hijo = ::fork();
            if (hijo == 0) {
                for (bool b = i % 2;; b = !b) {
                    Poner(f, b ? kVersionB : kVersionA);
                    ModWord::GenerarDocumentoWXP(kFichero, estado().strRutaTemp, f, {}, f->Stelcodex1, false, false);
                }
            }
            ::usleep(useconds_t(QRandomGenerator::global()->bounded(5 * unGuardado / 4)));
            ::kill(hijo, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(hijo, &status, 0), hijo);
            QVERIFY(WIFSIGNALED(status));
            const Valores v = Leer(Ruta());
            QVERIFY2(v == kVersionA || v == kVersionB, qPrintable(QString::number(i)));
            restos += int(Temporales().size());
            ModGeneral::LimpiarRestos(); // what the next start does
            QCOMPARE(Temporales(), QStringList());
        }
        QVERIFY2(restos > 0, "no kill landed while a file was being written");
        qInfo("%d kills, %d while writing, one save %lld us", Muertes, restos, unGuardado);
    }

    // A symbolic link named like an application is never written through: a new
    // application takes another name; one opened under the link's name is not
    // saved there, and the user is told.
    void enlaceSimbolicoNoSeSigue()
    {
        const QString fuera = carpeta->ruta(QStringLiteral("fuera.txt"));
        QVERIFY(QFile(fuera).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(fuera, Ruta()));
        f = AbrirFormulario();
        Poner(f, kVersionA);
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(MessageBox::shown().isEmpty());
        const QString nombre = f->lblFichero->text();
        QVERIFY2(nombre.startsWith(QStringLiteral("12345678Z-")) && nombre.endsWith(QStringLiteral(".doc")),
            qPrintable(nombre));
        QCOMPARE(Leer(estado().strRutaTemp + nombre), kVersionA);
        QCOMPARE(Bytes(fuera), QByteArray());

        f->lblFichero->setText(kFichero);
        f->MarcarNombreReservado(); // as when opened from the list
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(DijoQueNoSeGuardo(QStringLiteral("el destino es un enlace simbólico")));
        QCOMPARE(Bytes(fuera), QByteArray());
        QVERIFY(QFileInfo(Ruta()).isSymLink());
    }

    // Two running copies start a new application under the same free name; the
    // other stores its application first. This one's first save takes the next
    // free name and leaves the other's file alone.
    void otraCopiaTomaElNombre()
    {
        f = AbrirFormulario();
        QCOMPARE(f->lblFichero->text(), QString()); // the default name, free
        const pid_t otra = ::fork();
        if (otra == 0)
            ::_exit(EscribirFicheroSeguro(Ruta(), "de la otra copia") ? 0 : 1);
        int status = 0;
        QCOMPARE(::waitpid(otra, &status, 0), otra);
        QCOMPARE(WEXITSTATUS(status), 0);
        Poner(f, kVersionA);
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(Bytes(Ruta()), QByteArray("de la otra copia"));
        const QString nombre = f->lblFichero->text();
        QVERIFY2(nombre.startsWith(QStringLiteral("12345678Z-")), qPrintable(nombre));
        QCOMPARE(Leer(estado().strRutaTemp + nombre), kVersionA);
    }

    // The folder cannot be synced after the rename (a preloaded library): the
    // application is saved all the same and said to be, the new name is kept and
    // the next "Guardar" replaces that file; a registration holds too.
    void carpetaSinSincronizarGuardaIgual()
    {
        QVERIFY(EscribirFicheroSeguro(Ruta(), "otra solicitud")); // the new one takes a time-stamped name
        QStringList salida;
        QVERIFY(Hijo(QStringLiteral("sin sincronizar"), VARELIO_SIN_SINCRONIZAR_CARPETA, salida));
        const QString nombre = salida.value(0);
        QVERIFY2(nombre.startsWith(QStringLiteral("12345678Z-")), qPrintable(nombre));
        QCOMPARE(salida.value(1), QStringLiteral("ALTA"));
        QCOMPARE(salida.mid(2), QStringList(QString())); // no message
        QCOMPARE(carpeta->temporales(), QStringList({nombre, kFichero}));
        QCOMPARE(Leer(estado().strRutaTemp + nombre), kVersionB);
        QCOMPARE(Bytes(Ruta()), QByteArray("otra solicitud"));
        QVERIFY(Validacion::CargaUsuarios(estado().strRutaUsuarios));
        QVERIFY(Validacion::ExisteUsuario(QStringLiteral("87654321X")));
    }

    // Two running copies start a new application of the same DNI at the same
    // instant, round after round: every round adds two complete applications,
    // and no empty file ever stands under an application's name.
    void dosCopiasTomanNombresNuevos()
    {
        f = AbrirFormulario();
        const QString temp = estado().strRutaTemp;
        int vacios = 0;
        const auto mirar = [&] {
            for (const QFileInfo& i : QDir(temp).entryInfoList({QStringLiteral("*.doc")}, QDir::Files))
                vacios += i.size() == 0 ? 1 : 0;
        };
        constexpr int Rondas = 20;
        for (int ronda = 0; ronda < Rondas; ++ronda) {
            const std::vector<int> codigos = AlMismoTiempo(
                2,
                [&](int i) {
                    Poner(f, i == 0 ? kVersionA : kVersionB);
                    return ModWord::GenerarDocumentoWXP(NombresSolicitud::NombreNuevo(kDNI, temp), temp, f, {},
                               f->Stelcodex1, false, false, true)
                        ? 0
                        : 1;
                },
                mirar);
            QCOMPARE(codigos, std::vector<int>({0, 0}));
            QCOMPARE(carpeta->temporales().size(), 2 * (ronda + 1));
        }
        int a = 0, b = 0;
        for (const QString& nombre : carpeta->temporales()) {
            const Valores v = Leer(temp + nombre);
            a += v == kVersionA ? 1 : 0;
            b += v == kVersionB ? 1 : 0;
        }
        QCOMPARE(a, Rondas);
        QCOMPARE(b, Rondas);
        QCOMPARE(vacios, 0);
        QCOMPARE(Temporales(), QStringList());
    }

    // Two copies print in the same second: each bitmap is its own, still its
    // own when it is inserted a moment later, and gone afterwards.
    void dosImpresionesEnElMismoSegundo()
    {
        f = AbrirFormulario();
        for (int ronda = 0; ronda < 6; ++ronda) {
            const std::vector<int> codigos = AlMismoTiempo(
                2,
                [&](int i) {
                    Poner(f, i == 0 ? kVersionA : kVersionB);
                    QString datos = f->GenerarDatosCodigo();
                    qint16 alto = 2000;
                    int fd = -1;
                    const auto hecho = ModWord::GenerarBmpCodigo(datos, f->Stelcodex1, 6000, alto, &fd);
                    if (!hecho)
                        return 2;
                    const QString bmp = hecho.valor + QStringLiteral(".bmp");
                    ::usleep(200000); // the word processor takes a while to insert it
                    const bool leido = bool(CodigoImpreso::Comprobar(bmp, CodigoImpreso::BytesCodificados(datos)));
                    QFile::remove(bmp);
                    ::close(fd);
                    return leido ? 0 : 1;
                },
                [] { ::usleep(1000); });
            QCOMPARE(codigos, std::vector<int>({0, 0}));
        }
        QCOMPARE(QDir(estado().strRutaTemp).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // Personal data is the user's only, whatever the umask: the stored file, the
    // printed PDF copy and the barcode bitmap.
    void soloElDuenoPuedeLeer()
    {
        const mode_t antes = ::umask(022);
        GuardarVersionA();
        QCOMPARE(Modo(Ruta()), 0600u);

        const QString pdf = estado().strRutaTemp + QStringLiteral("12345678Z.pdf");
        Word::setPrintOutputPdf(pdf);
        f->mnuP.at(ComandoMenu::Imprimir)->trigger();
        QCOMPARE(MessageBox::shown().size(), 1); // "IMPORTANTE: Espere ..."
        QCOMPARE(Modo(pdf), 0600u);

        QString datos = f->GenerarDatosCodigo();
        qint16 alto = 2000;
        const QString bmp = ModWord::GenerarBmpCodigo(datos, f->Stelcodex1, 6000, alto).valor + QStringLiteral(".bmp");
        ::umask(antes);
        QCOMPARE(Modo(bmp), 0600u);
        QFile::remove(bmp);
    }

    // Control characters that reach a box (pasted ESC, U+FFFE) are dropped when
    // written: the stored document is well-formed XML 1.0; tabs stay.
    void caracteresQueXmlNoAdmite()
    {
        f = AbrirFormulario();
        Poner(f, kVersionA);
        f->txtNombre->setText(QStringLiteral("Ana\x1b María\tJosé") + QChar(0xFFFE) + QChar(0x0001));
        f->txtTitulacion->setText(QStringLiteral("Medicina ") + QChar(0xD800) + QStringLiteral("y\x0c Cirugía"));
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(MessageBox::shown().isEmpty());

        const Word::detail::Package paquete = Word::detail::Package::read(Ruta());
        QXmlStreamReader xml(paquete.part(QStringLiteral("word/document.xml")));
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        const Valores v = Leer(Ruta());
        QCOMPARE(v.at(QStringLiteral("NOMBRE")), QStringLiteral("Ana María\tJosé"));
        QCOMPARE(v.at(QStringLiteral("TITULACION")), QStringLiteral("Medicina y Cirugía"));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariable("VARELIO_HIJO") == QLatin1String("sin sincronizar"))
        return HijoSinSincronizar(argc, argv);
    if (qEnvironmentVariableIsSet("VARELIO_HIJO"))
        return Hijo(argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tst_guardado prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_guardado.moc"
