// The shipped templates and manual, read straight from the built packages in the
// program folder with libzip and pugixml (not through the word processor).
#include "tests/data/Paquete.h"

#include <QDir>
#include <QMap>
#include <QSet>
#include <QtTest>

namespace {

QString carpetaPrograma() { return qEnvironmentVariable("VARELIO_PROGRAM_DIR"); }

QString ruta(const QString& relativa) { return QDir(carpetaPrograma()).filePath(relativa); }

const QString kWXP = QStringLiteral("ficheros/DOT_10101/PlantillaWXP.dot");
const QString kW97 = QStringLiteral("ficheros/DOT_10101/PlantillaW97.dot");
const QString kManual = QStringLiteral("Manual de Usuario.doc");

QString attr(const pugi::xml_node& n, const char* nombre) { return QString::fromUtf8(n.attribute(nombre).value()); }

// All text of a paragraph, field results included, in reading order.
QString textoDe(const pugi::xml_node& nodo)
{
    QString texto;
    for (const pugi::xpath_node& t : nodo.select_nodes(".//w:t"))
        texto += QString::fromUtf8(t.node().text().get());
    return texto;
}

struct Campo {
    QString nombre;
    QString tipo; // "texto" or "casilla"
    QString instruccion;
    bool separador = false;
    bool cerrado = false;
};

// The legacy form fields of one paragraph, in order.
QList<Campo> camposDe(const pugi::xml_node& parrafo)
{
    QList<Campo> campos;
    Campo* actual = nullptr;
    for (const pugi::xml_node& r : parrafo.children("w:r")) {
        const pugi::xml_node fld = r.child("w:fldChar");
        const QString tipo = attr(fld, "w:fldCharType");
        if (tipo == "begin") {
            const pugi::xml_node ff = fld.child("w:ffData");
            Campo c;
            c.nombre = attr(ff.child("w:name"), "w:val");
            c.tipo = ff.child("w:textInput") ? "texto" : ff.child("w:checkBox") ? "casilla" : "?";
            campos << c;
            actual = &campos.last();
        } else if (actual && r.child("w:instrText")) {
            actual->instruccion += QString::fromUtf8(r.child("w:instrText").text().get());
        } else if (actual && tipo == "separate") {
            actual->separador = true;
        } else if (actual && tipo == "end") {
            actual->cerrado = true;
            actual = nullptr;
        }
    }
    return campos;
}

QMap<QString, QString> camposEsperados()
{
    QMap<QString, QString> m;
    for (const char* n : {"NIF", "PRIMERAPELLIDO", "NOMBRE", "FECHANACIMIENTO", "NACIONALIDAD", "TELEFONO", "DOMICILIO",
             "NUM", "PUERTA", "LOCALIDAD", "PROVINCIA", "CPOSTAL", "TITULACION", "AREAAVILA", "AREABURGOS", "AREALEON",
             "AREAELBIERZO", "AREAPALENCIA", "AREASALAMANCA", "AREASEGOVIA", "AREASORIA", "AREAVALLADOLIDESTE",
             "AREAVALLADOLIDOESTE", "AREAZAMORA", "DESCOTROS", "CIUDAD", "DIA", "MES", "AÑO"})
        m.insert(QString::fromUtf8(n), "texto");
    for (const char* n : {"MEDICO", "ENFERMERO", "ESPECIALISTA", "EXPERIENCIA", "CURSOS", "OTROS"})
        m.insert(QString::fromUtf8(n), "casilla");
    return m;
}

const char* const kMarcadores[] = {"-&R&-", "-&V&-", "-&C&-", "-&D&-"};

} // namespace

class tst_plantillas : public QObject {
    Q_OBJECT

    pugi::xml_document documento_;
    pugi::xml_node cuerpo_;

    // Loads word/document.xml of a template into documento_.
    bool cargarDocumento(const QString& relativa)
    {
        Paquete p(ruta(relativa));
        if (!p.abierto() || !p.xml("word/document.xml", documento_))
            return false;
        cuerpo_ = documento_.child("w:document").child("w:body");
        return bool(cuerpo_);
    }

    static void plantillas()
    {
        QTest::addColumn<QString>("plantilla");
        QTest::newRow("W97") << kW97;
        QTest::newRow("WXP") << kWXP;
    }

private slots:
    void initTestCase() { QVERIFY2(!carpetaPrograma().isEmpty(), "VARELIO_PROGRAM_DIR is not set"); }

    // Every package: [Content_Types].xml first, every part well-formed XML with a
    // content type, every relationship pointing at a part that exists.
    void paqueteCompleto_data()
    {
        QTest::addColumn<QString>("paquete");
        QTest::newRow("W97") << kW97;
        QTest::newRow("WXP") << kWXP;
        QTest::newRow("manual") << kManual;
    }
    void paqueteCompleto()
    {
        QFETCH(QString, paquete);
        Paquete p(ruta(paquete));
        QVERIFY2(p.abierto(), qPrintable(ruta(paquete)));
        const QStringList partes = p.partes();
        QCOMPARE(partes.value(0), QStringLiteral("[Content_Types].xml"));

        pugi::xml_document tipos;
        QVERIFY(p.xml("[Content_Types].xml", tipos));
        QSet<QString> extensiones, sobrescritas;
        for (const pugi::xml_node& d : tipos.child("Types").children("Default"))
            extensiones << attr(d, "Extension");
        for (const pugi::xml_node& o : tipos.child("Types").children("Override"))
            sobrescritas << attr(o, "PartName");

        for (const QString& parte : partes) {
            pugi::xml_document doc;
            const pugi::xml_parse_result r = p.xml(parte, doc);
            QVERIFY2(r, qPrintable(parte + ": " + r.description()));
            QVERIFY2(sobrescritas.contains("/" + parte) || extensiones.contains(QFileInfo(parte).suffix()),
                qPrintable(parte + " has no content type"));
            if (!parte.endsWith(".rels"))
                continue;
            // a/_rels/b.rels describes a/b: its targets are relative to a/.
            const QString base = QFileInfo(QFileInfo(parte).path()).path();
            for (const pugi::xml_node& rel : doc.child("Relationships").children("Relationship")) {
                const QString destino = QDir::cleanPath((base == "." ? QString() : base + "/") + attr(rel, "Target"));
                QVERIFY2(partes.contains(destino), qPrintable(parte + " points at missing " + destino));
            }
        }
        for (const QString& o : sobrescritas)
            QVERIFY2(partes.contains(o.mid(1)), qPrintable("content type for missing part " + o));
    }

    // Every form field of a stored application, once, with the right kind and
    // the structure the word processor reads.
    void camposDeFormulario_data() { plantillas(); }
    void camposDeFormulario()
    {
        QFETCH(QString, plantilla);
        QVERIFY(cargarDocumento(plantilla));
        QMap<QString, QString> encontrados;
        for (const pugi::xpath_node& p : cuerpo_.select_nodes(".//w:p")) {
            for (const Campo& c : camposDe(p.node())) {
                QVERIFY2(!encontrados.contains(c.nombre), qPrintable("field twice: " + c.nombre));
                QVERIFY2(c.nombre.size() <= 20, qPrintable(c.nombre));
                QVERIFY2(c.cerrado, qPrintable(c.nombre + " has no end"));
                const bool texto = c.tipo == "texto";
                QCOMPARE(c.instruccion.trimmed(), texto ? QStringLiteral("FORMTEXT") : QStringLiteral("FORMCHECKBOX"));
                QCOMPARE(c.separador, texto);
                encontrados.insert(c.nombre, c.tipo);
            }
        }
        QCOMPARE(encontrados, camposEsperados());
    }

    // Bookmarks: unique names, each opened and closed, none named like a form
    // field (other word processors then rename the field); NIF_CABECERA is one
    // collapsed point right after the heading's "NIF:" label.
    void marcadorNif_data() { plantillas(); }
    void marcadorNif()
    {
        QFETCH(QString, plantilla);
        QVERIFY(cargarDocumento(plantilla));
        QSet<QString> nombres, abiertos;
        pugi::xml_node nif;
        for (const pugi::xpath_node& b : cuerpo_.select_nodes(".//w:bookmarkStart")) {
            const QString nombre = attr(b.node(), "w:name");
            QVERIFY2(!nombres.contains(nombre.toUpper()), qPrintable("bookmark twice: " + nombre));
            nombres << nombre.toUpper();
            abiertos << attr(b.node(), "w:id");
            for (const QString& campo : camposEsperados().keys())
                QVERIFY2(nombre.compare(campo, Qt::CaseInsensitive) != 0,
                    qPrintable("bookmark named as a field: " + nombre));
            if (nombre.toUpper() == "NIF_CABECERA")
                nif = b.node();
        }
        for (const pugi::xpath_node& e : cuerpo_.select_nodes(".//w:bookmarkEnd"))
            QVERIFY(abiertos.remove(attr(e.node(), "w:id")));
        QVERIFY2(abiertos.isEmpty(), "bookmarks without an end");

        QVERIFY(nif);
        const pugi::xml_node fin = nif.next_sibling();
        QCOMPARE(QString::fromUtf8(fin.name()), QStringLiteral("w:bookmarkEnd"));
        QCOMPARE(attr(fin, "w:id"), attr(nif, "w:id"));
        QString antes;
        for (pugi::xml_node n = nif.previous_sibling(); n; n = n.previous_sibling())
            antes.prepend(textoDe(n));
        QVERIFY2(antes.trimmed().endsWith("NIF:"), qPrintable(antes));
        QVERIFY(camposDe(nif.parent()).isEmpty());
    }

    // At least three tables at body level (none nested, so every way of counting
    // agrees); the third has an empty cell (6, 1) that takes a 400 x 173 px
    // picture at 96 dpi, 6000 twips wide. The page is A4.
    void celdaDelCodigo_data() { plantillas(); }
    void celdaDelCodigo()
    {
        QFETCH(QString, plantilla);
        QVERIFY(cargarDocumento(plantilla));
        QVERIFY(cuerpo_.select_nodes(".//w:tbl//w:tbl").empty());
        QList<pugi::xml_node> tablas;
        for (const pugi::xml_node& t : cuerpo_.children("w:tbl"))
            tablas << t;
        QVERIFY(tablas.size() >= 3);

        const pugi::xml_node tabla = tablas[2];
        QList<pugi::xml_node> filas;
        for (const pugi::xml_node& f : tabla.children("w:tr"))
            filas << f;
        QVERIFY(filas.size() >= 6);
        const pugi::xml_node celda = filas[5].child("w:tc");
        QVERIFY(celda);
        QVERIFY(textoDe(celda).trimmed().isEmpty());
        QVERIFY(camposDe(celda.child("w:p")).isEmpty());

        QList<int> rejilla;
        for (const pugi::xml_node& g : tabla.child("w:tblGrid").children("w:gridCol"))
            rejilla << attr(g, "w:w").toInt();
        const int tramo = qMax(1, attr(celda.child("w:tcPr").child("w:gridSpan"), "w:val").toInt());
        int ancho = 0;
        for (int i = 0; i < tramo && i < rejilla.size(); ++i)
            ancho += rejilla[i];
        const pugi::xml_node margenes = tabla.child("w:tblPr").child("w:tblCellMar");
        const int izq = margenes.child("w:left") ? attr(margenes.child("w:left"), "w:w").toInt() : 108;
        const int der = margenes.child("w:right") ? attr(margenes.child("w:right"), "w:w").toInt() : 108;
        QVERIFY2(ancho - izq - der >= 6000, qPrintable(QString::number(ancho - izq - der)));

        const pugi::xml_node pagina = cuerpo_.child("w:sectPr").child("w:pgSz");
        QCOMPARE(attr(pagina, "w:w"), QStringLiteral("11906"));
        QCOMPARE(attr(pagina, "w:h"), QStringLiteral("16838"));
    }

    // The texts of the form: headings, section captions, labels, categories,
    // documents; each area name sits in the cell just before its own preference
    // field; the signing line reads "En CIUDAD a DIA de MES de AÑO".
    void textosDelFormulario_data() { plantillas(); }
    void textosDelFormulario()
    {
        QFETCH(QString, plantilla);
        QVERIFY(cargarDocumento(plantilla));
        QStringList parrafos;
        for (const pugi::xpath_node& p : cuerpo_.select_nodes(".//w:p"))
            parrafos << textoDe(p.node()).trimmed();
        const QString todo = parrafos.join('\n');
        for (const char* s : {"SOLICITUD DE CONCURSO", "1.- DATOS DEL SOLICITANTE", "2.- TITULACION DEL SOLICITANTE",
                 "3.- ÁREAS DE SALUD SOLICITADAS  PARA LA COBERTURA DE VACANTES. CONSIGNAR ORDER DE PREFERENCIA",
                 "4.- INDICAR LA CATEGORÍA QUE SE SOLICITA",
                 "5.- RELACIÓN DE DOCUMENTACIÓN QUE SE APORTA A EFECTOS DE BAREMO", "APELLIDOS", "FECHA DE NACIMIENTO",
                 "NACIONALIDAD", "TELÉFONO", "DIRECCIÓN", "Nº", "Pª", "MUNICIPIO", "PROVINCIA", "CÓDIGO POSTAL",
                 "Médico de Área", "Enfermero de Área",
                 "Título de Especialista en Medicina Familiar y C. Obtenido por el sistema de Residencia",
                 "Certificado de experiencia profesional", "Cursos de Formación acreditada", "Otros", "Fdo.:"})
            QVERIFY2(todo.contains(QString::fromUtf8(s)), s);

        const QList<QPair<QString, QString>> areas
            = {{"Ávila", "AREAAVILA"}, {"Burgos", "AREABURGOS"}, {"León", "AREALEON"}, {"El Bierzo", "AREAELBIERZO"},
                {"Palencia", "AREAPALENCIA"}, {"Salamanca", "AREASALAMANCA"}, {"Segovia", "AREASEGOVIA"},
                {"Soria", "AREASORIA"}, {"Valladolid Este", "AREAVALLADOLIDESTE"},
                {"Valladolid Oeste", "AREAVALLADOLIDOESTE"}, {"Zamora", "AREAZAMORA"}};
        QMap<QString, QString> campoJuntoA;
        for (const pugi::xpath_node& tc : cuerpo_.select_nodes(".//w:tc")) {
            const pugi::xml_node siguiente = tc.node().next_sibling("w:tc");
            const QList<Campo> c = siguiente ? camposDe(siguiente.child("w:p")) : QList<Campo>();
            if (c.size() == 1)
                campoJuntoA.insert(textoDe(tc.node()).trimmed(), c[0].nombre);
        }
        for (const auto& [area, campo] : areas)
            QCOMPARE(campoJuntoA.value(area), campo);

        const pugi::xpath_node_set firma = cuerpo_.select_nodes(".//w:p[.//w:name[@w:val='CIUDAD']]");
        QCOMPARE(firma.size(), size_t(1));
        QStringList orden;
        for (const Campo& c : camposDe(firma[0].node()))
            orden << c.nombre;
        QCOMPARE(orden, QStringList({"CIUDAD", "DIA", "MES", QString::fromUtf8("AÑO")}));
        QString linea = textoDe(firma[0].node());
        linea.remove(QChar(0x2002));
        QCOMPARE(linea.simplified(), QStringLiteral("En a de de"));
    }

    // W97 holds each marker, one of them split across runs; WXP holds none, since
    // only the W97 writer blanks them.
    void marcadores()
    {
        for (const QString& plantilla : {kW97, kWXP}) {
            QVERIFY(cargarDocumento(plantilla));
            QString todo;
            bool partido = false;
            for (const pugi::xpath_node& p : cuerpo_.select_nodes(".//w:p")) {
                const QString texto = textoDe(p.node());
                todo += texto + '\n';
                for (const char* m : kMarcadores) {
                    const QString marcador = QString::fromLatin1(m);
                    if (!texto.contains(marcador))
                        continue;
                    bool entero = false;
                    for (const pugi::xpath_node& t : p.node().select_nodes(".//w:t"))
                        entero = entero || QString::fromUtf8(t.node().text().get()).contains(marcador);
                    partido = partido || !entero;
                }
            }
            for (const char* m : kMarcadores)
                QCOMPARE(todo.count(QString::fromLatin1(m)), plantilla == kW97 ? 1 : 0);
            QCOMPARE(partido, plantilla == kW97);
        }
    }

    // The manual: headings, lists whose numbering exists, no form fields, and the
    // topics a user looks for.
    void manual()
    {
        Paquete p(ruta(kManual));
        pugi::xml_document doc, numeracion;
        QVERIFY(p.xml("word/document.xml", doc));
        QVERIFY(p.xml("word/numbering.xml", numeracion));
        const pugi::xml_node cuerpo = doc.child("w:document").child("w:body");
        QVERIFY(cuerpo.select_nodes(".//w:p[w:pPr/w:pStyle/@w:val='Heading1']").size() >= 8);
        QVERIFY(cuerpo.select_nodes(".//w:ffData").empty());

        QSet<QString> definidas;
        for (const pugi::xml_node& n : numeracion.child("w:numbering").children("w:num"))
            definidas << attr(n, "w:numId");
        const pugi::xpath_node_set listas = cuerpo.select_nodes(".//w:numPr/w:numId");
        QVERIFY(listas.size() >= 5);
        for (const pugi::xpath_node& n : listas)
            QVERIFY(definidas.contains(attr(n.node(), "w:val")));

        const QString texto = textoDe(cuerpo);
        for (const char* tema : {"Validación de usuario", "contraseña", "Solicitud Nueva", "Cargar Solicitud",
                 "Borrar Solicitud", "El valor debe ser un número entero entre 1 y 11", "Imprimir", "Guardar",
                 "código de barras", "Fdo.:", "ficheros/temp", "Copia de recuperación", ".borrador",
                 // every command's keys, as the form gives them
                 "Imprimir (Ctrl+P)", "Guardar (Ctrl+G)", "Cargar otra solicitud (Ctrl+O)", "Salir (Ctrl+Q)",
                 "Ayuda (F1)", "Cambiar contraseña (Ctrl+K)", "Alt"})
            QVERIFY2(texto.contains(QString::fromUtf8(tema)), tema);
    }
};

QTEST_APPLESS_MAIN(tst_plantillas)
#include "tst_plantillas.moc"
