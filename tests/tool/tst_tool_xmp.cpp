// Reading document properties from XMP packets, and XMP dates in PDF form.

#include "tool/PdfText.h"
#include "tool/XmpProperties.h"

#include <QStringList>
#include <QTest>

using namespace pdfinfodump;

namespace {

// A packet with one rdf:Description holding body, with the usual prefixes declared.
QByteArray packet(const QByteArray& body, const QByteArray& attributes = {}) {
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">"
           "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
           "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
           "xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" " +
           attributes + ">" + body + "</rdf:Description></rdf:RDF></x:xmpmeta>" +
           "<?xpacket end=\"w\"?>";
}

QByteArray alternatives(const QByteArray& property, const QByteArray& items) {
    return "<" + property + "><rdf:Alt>" + items + "</rdf:Alt></" + property + ">";
}

// "Key=value" for each property, in the order given.
QString summary(const std::vector<InfoEntry>& entries) {
    QStringList parts;
    for (const InfoEntry& entry : entries) {
        const std::u32string value = decodeTextString(entry.value);
        parts << QString::fromStdString(entry.key) + '=' +
                     QString::fromUcs4(value.data(), static_cast<qsizetype>(value.size()));
    }
    return parts.join(" | ");
}

} // namespace

class ToolXmpTest : public QObject {
    Q_OBJECT
private slots:
    void properties_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("expected"); // null: the packet is refused
        const QByteArray li = "<rdf:li xml:lang=\"x-default\">";
        QTest::newRow("attributes")
            << packet({}, "xmp:CreatorTool=\" Writer \" pdf:Producer=\"Maker &amp; Co\" "
                          "xmp:CreateDate=\"2017-05-24T10:30:11+05:30\" "
                          "xmp:ModifyDate=\"2017-05-24T10:30:11Z\" pdf:Keywords=\"a, b\"")
            << "CreationDate=D:20170524103011+05'30' | Creator=Writer | Keywords=a, b | "
               "ModDate=D:20170524103011Z | Producer=Maker & Co";
        QTest::newRow("x-default wins over the first alternative")
            << packet(alternatives("dc:title", "<rdf:li xml:lang=\"de\">Bericht</rdf:li>" + li +
                                                   "Report – café</rdf:li>"))
            << "Title=Report – café";
        QTest::newRow("first alternative without x-default")
            << packet(alternatives("dc:description", "<rdf:li xml:lang=\"fr\">Résumé</rdf:li>"
                                                     "<rdf:li xml:lang=\"en\">Summary</rdf:li>"))
            << "Subject=Résumé";
        QTest::newRow("creators joined, empty ones skipped")
            << packet("<dc:creator><rdf:Seq><rdf:li>Ann</rdf:li><rdf:li> </rdf:li>"
                      "<rdf:li>Bob</rdf:li></rdf:Seq></dc:creator>")
            << "Author=Ann; Bob";
        QTest::newRow("elements, any prefix of the right namespace")
            << packet(
                   "<k:Keywords xmlns:k=\"http://ns.adobe.com/pdf/1.3/\"> x y </k:Keywords>"
                   "<t:CreatorTool xmlns:t=\"http://ns.adobe.com/xap/1.0/\">Tool</t:CreatorTool>")
            << "Creator=Tool | Keywords=x y";
        QTest::newRow("the right prefix of another namespace")
            << packet("<dc:title xmlns:dc=\"http://example.com/dc/\"><rdf:Alt>" + li +
                      "no</rdf:li></rdf:Alt></dc:title>")
            << "";
        QTest::newRow("unreadable date left out, the rest kept")
            << packet("<xmp:CreateDate>24 May 2017</xmp:CreateDate><pdf:Producer>P</pdf:Producer>")
            << "Producer=P";
        QTest::newRow("a nested description does not end the outer one")
            << packet("<xmpMM:History xmlns:xmpMM=\"http://ns.adobe.com/xap/1.0/mm/\"><rdf:Seq>"
                      "<rdf:li><rdf:Description><pdf:Producer>inner</pdf:Producer>"
                      "</rdf:Description></rdf:li></rdf:Seq></xmpMM:History>"
                      "<pdf:Producer>outer</pdf:Producer>")
            << "Producer=outer";
        QTest::newRow("first description's value wins")
            << packet("<pdf:Producer>first</pdf:Producer></rdf:Description><rdf:Description "
                      "xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\"><pdf:Producer>second"
                      "</pdf:Producer>")
            << "Producer=first";
        QTest::newRow("NUL padding after the packet")
            << packet("<pdf:Producer>P</pdf:Producer>") + QByteArray(40, '\0') << "Producer=P";
        QTest::newRow("not well-formed") << packet("<pdf:Producer>P</pdf:Creator>") << QString();
        QTest::newRow("not XML") << QByteArray("%PDF-1.7 not xml") << QString();
        QTest::newRow("entity declarations")
            << "<!DOCTYPE x [<!ENTITY a \"aaaa\">]>" + packet("<pdf:Producer>&a;</pdf:Producer>")
            << QString();
    }
    void properties() {
        QFETCH(QByteArray, xml);
        QFETCH(QString, expected);
        std::string error;
        const auto entries = propertiesFromXmp(
            std::string_view(xml.constData(), static_cast<size_t>(xml.size())), error);
        QCOMPARE(entries.has_value(), !expected.isNull());
        if (entries) {
            QCOMPARE(summary(*entries), expected);
        } else {
            QVERIFY(!error.empty());
        }
    }

    // The PDF/A claim, read in the same parse as the properties, which it must not join.
    void pdfaClaim_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("claim"); // null: none
        const QByteArray ns = "xmlns:id=\"http://www.aiim.org/pdfa/ns/id/\" ";
        QTest::newRow("attributes, any prefix")
            << packet({}, ns + "id:part=\"2\" id:conformance=\"B\"") << "2B";
        QTest::newRow("elements, lower-case level, blanks")
            << packet("<id:part> 3 </id:part><id:conformance>u</id:conformance>", ns) << "3U";
        QTest::newRow("no conformance level") << packet("<id:part>4</id:part>", ns) << "4";
        QTest::newRow("conformance level alone")
            << packet({}, ns + "id:conformance=\"A\"") << QString();
        QTest::newRow("another namespace")
            << packet({}, "xmlns:id=\"http://example.com/pdfa/\" id:part=\"1\"") << QString();
    }
    void pdfaClaim() {
        QFETCH(QByteArray, xml);
        QFETCH(QString, claim);
        std::string error;
        const std::optional<XmpContent> content =
            readXmp(std::string_view(xml.constData(), static_cast<size_t>(xml.size())), error);
        QVERIFY2(content.has_value(), error.c_str());
        QCOMPARE(content->pdfA.has_value(), !claim.isNull());
        if (content->pdfA) {
            QCOMPARE(QString::fromStdString(*content->pdfA), claim);
        }
        QVERIFY(content->properties.empty());
    }

    void utf16Packet() {
        const QString text = QString::fromUtf8(packet("<pdf:Producer>Ünïcode</pdf:Producer>"))
                                 .replace("xpacket begin=\"\xEF\xBB\xBF\"", "xpacket begin=\"\"");
        QByteArray utf16("\xFF\xFE", 2);
        utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        std::string error;
        const auto entries = propertiesFromXmp(
            std::string_view(utf16.constData(), static_cast<size_t>(utf16.size())), error);
        QVERIFY2(entries.has_value(), error.c_str());
        QCOMPARE(summary(*entries), QString("Producer=Ünïcode"));
    }

    void dates_data() {
        QTest::addColumn<QString>("xmp");
        QTest::addColumn<QString>("pdf"); // empty: refused
        QTest::newRow("offset") << "2017-05-24T10:30:11+05:30"
                                << "D:20170524103011+05'30'";
        QTest::newRow("negative offset, fraction dropped") << "2017-05-24T10:30:11.123-08:00"
                                                           << "D:20170524103011-08'00'";
        QTest::newRow("UTC") << "2017-05-24T10:30:11Z"
                             << "D:20170524103011Z";
        QTest::newRow("no seconds") << "2017-05-24T10:30Z"
                                    << "D:20170524103000Z";
        QTest::newRow("no zone") << "2017-05-24T10:30:11"
                                 << "D:20170524103011";
        QTest::newRow("day") << "2017-05-24"
                             << "D:20170524";
        QTest::newRow("month, day 01") << "2017-05"
                                       << "D:20170501";
        QTest::newRow("year, January 1") << "2017"
                                         << "D:20170101";
        QTest::newRow("December of year 0") << "0000-12"
                                            << "D:00001201";
        for (const char* bad :
             {"", "17-05-24", "2017-13-01", "2017-05-32", "2017-05-00", "2017-05-24T24:00Z",
              "2017-05-24T10:60Z", "2017-05-24T10:30:11+5:30", "2017-05-24T10:30:11+05",
              "2017-05-24 10:30:11", "2017-05-24T10:30:11.Z", "2017-05-24T10:30:11Zjunk",
              "2017-05-24T10", "2017-5", "2017-05-", "2017T10:30Z", "2017-05T10:30Z",
              "yesterday"}) {
            QTest::addRow("refused: %s", bad) << bad << QString();
        }
    }
    void dates() {
        QFETCH(QString, xmp);
        QFETCH(QString, pdf);
        const std::string text = xmp.toStdString();
        QCOMPARE(QString::fromStdString(xmpDateAsPdfDate(text).value_or("")), pdf);
    }
};

QTEST_APPLESS_MAIN(ToolXmpTest)
#include "tst_tool_xmp.moc"
