"""The example documents that ship in Samples/ beside the program: ordinary-looking files
from different makers, so a first extraction shows varied, believable properties."""

import page_content
from pdf_cases import Encryption, PdfCase, file_id
from pdf_document import Document
from pdf_writer import Layout

SAMPLE_PASSWORD = "parvilon"


def _sample(name, purpose, info, pages, footer, accent, version="1.4", eol=b"\n",
            encryption=None):
    """pages: (heading, paragraphs) for each page."""
    contents = [page_content.sample_page(heading, paragraphs, number, len(pages), footer, accent)
                for number, (heading, paragraphs) in enumerate(pages, start=1)]
    layout = Layout(header_line=b"%PDF-" + version.encode(), eol=eol)
    document = Document(pages=contents, info=info, layout=layout, file_id=file_id(name))
    return PdfCase(name, purpose, document, encryption)


def _annual_report():
    sections = [
        ("Letter from the Board", "The year 2024 was one of steady growth for Brightwater "
         "Cooperative. Membership rose by eleven per cent and every region closed the year "
         "with a surplus."),
        ("Highlights", "Revenue reached 48.2 million, up from 43.9 million. Two new depots "
         "opened in the north and the delivery fleet moved fully to electric vans."),
        ("Members", "We welcomed 1,930 new members. The members' council met four times and "
         "approved the new dividend policy."),
        ("Operations", "On-time deliveries stayed above 97 per cent throughout the year, "
         "despite the floods in March."),
        ("People", "Our staff grew to 412 colleagues. Training hours per person doubled."),
        ("Sustainability", "Energy use per delivery fell by a fifth; both depots now run on "
         "solar power during the summer months."),
        ("Risk Report", "The main risks remain energy prices, supplier concentration and "
         "the availability of qualified drivers."),
        ("Income Statement", "Operating result 3.1 million; net result after tax 2.4 million."),
        ("Balance Sheet", "Total assets 61.7 million; equity ratio 44 per cent."),
        ("Cash Flow", "Cash from operations 5.6 million; investments 4.2 million."),
        ("Notes", "The accounts follow the cooperative accounting standard in force in 2024."),
        ("Auditor's Report", "In our opinion the accounts give a true and fair view of the "
         "cooperative's financial position at 31 December 2024."),
    ]
    pages = [(heading, [text, "Brightwater Cooperative - Annual Report 2024."])
             for heading, text in sections]
    return _sample("Annual Report 2024.pdf", "twelve pages, every entry set, CR LF lines", {
        "Title": "Annual Report 2024", "Author": "Henrike Solberg",
        "Subject": "Results and outlook of Brightwater Cooperative for the year 2024",
        "Keywords": "annual report; finance; 2024; cooperative",
        "Creator": "Quillstone Writer 7.2", "Producer": "Quillstone PDF Engine 7.2",
        "CreationDate": "D:20250314091522+01'00'", "ModDate": "D:20250321164003+01'00'",
    }, pages, "Brightwater Cooperative", (0.13, 0.36, 0.52), version="1.7", eol=b"\r\n")


def _summer_menu():
    return _sample("Summer Menu.pdf", "accented title in PDFDocEncoding, no keywords", {
        "Title": "Café Lumière – Menu d'été 2024", "Author": "Amélie Dufresne",
        "Creator": "Mosaic Layout 3.1", "Producer": "Mosaic Layout 3.1 (macOS 14.5)",
        "CreationDate": "D:20240603181244+02'00'", "ModDate": "D:20240603181244+02'00'",
    }, [
        ("Café Lumière - Menu d'été", ["Entrées: gazpacho andalou, salade niçoise, "
                                       "tartine de chèvre au miel.",
                                       "Plats: daurade grillée, ratatouille, "
                                       "risotto aux courgettes."]),
        ("Desserts et boissons", ["Crème brûlée, tarte aux abricots, sorbet citron.",
                                  "Citronnade maison, thé glacé, café crème."]),
    ], "Café Lumière, Lyon", (0.62, 0.24, 0.18))


def _meeting_minutes():
    return _sample("Meeting Minutes Tokyo.pdf", "Japanese title and author in UTF-16BE", {
        "Title": "東京支社 定例会議 議事録", "Author": "佐藤 美咲",
        "Subject": "Quarterly planning for the third quarter",
        "Keywords": "minutes; 議事録; Q3 planning",
        "Creator": "Hanami Docs 2.4", "Producer": "Hanami PDF 2.4",
        "CreationDate": "D:20230707103000+09'00'", "ModDate": "D:20230710091505+09'00'",
    }, [
        ("Tokyo Branch - Regular Meeting", ["Date: 7 July 2023. Present: M. Sato (chair), "
                                            "K. Ito, R. Tanaka, Y. Mori.",
                                            "1. Results of the second quarter were reviewed "
                                            "and accepted."]),
        ("Third Quarter Plan", ["2. The Osaka showroom opens on 1 September.",
                                "3. The customer survey runs from August to October."]),
        ("Actions", ["K. Ito prepares the showroom budget by 21 July.",
                     "Next meeting: 4 August 2023."]),
    ], "Tokyo Branch", (0.55, 0.16, 0.31), version="1.6")


def _brochure():
    return _sample("Product Brochure.pdf", "dates in UTC", {
        "Title": "Nimbus 400 Air Purifier", "Author": "Marketing Team",
        "Subject": "Product brochure", "Keywords": "air purifier, Nimbus, brochure",
        "Creator": "Vellum Designer 11", "Producer": "Vellum Print Export 11.0.3",
        "CreationDate": "D:20220915143210Z", "ModDate": "D:20221002080000Z",
    }, [
        ("Nimbus 400", ["Clean air for rooms up to 40 square metres, at a whisper."]),
        ("How It Works", ["Three filter stages catch dust, pollen and odours."]),
        ("Specifications", ["Air flow 400 cubic metres an hour. Noise 22 to 51 dB. "
                            "Power 6 to 38 W."]),
        ("Where to Buy", ["Ask your local dealer or visit our web shop."]),
    ], "Nimbus Home Appliances", (0.10, 0.50, 0.45), version="1.5")


def _budget():
    return _sample("Confidential Budget 2025.pdf", "AES-128, user password parvilon", {
        "Title": "Budget Plan 2025", "Author": "Finance Office",
        "Subject": "Draft budget for 2025 - confidential",
        "Keywords": "budget; 2025; confidential",
        "Creator": "Ledgerline Sheets 4.0", "Producer": "Ledgerline PDF 4.0",
        "CreationDate": "D:20241118120000-05'00'", "ModDate": "D:20241202170845-05'00'",
    }, [
        ("Budget Plan 2025", ["Draft for the board meeting of 9 December 2024."]),
        ("Income", ["Expected income 12.4 million, of which 9.8 million from contracts."]),
        ("Expenses", ["Staff 6.1 million, premises 1.9 million, other 2.7 million."]),
        ("Investments", ["New accounting system 0.4 million; vehicles 0.6 million."]),
        ("Summary", ["Planned surplus 0.7 million."]),
    ], "Confidential", (0.35, 0.35, 0.38), version="1.6",
        encryption=Encryption("AES-128", SAMPLE_PASSWORD, "parvilon-owner"))


def _invoice():
    return _sample("Scanned Invoice 10442.pdf", "scanner output: no title, author or keywords", {
        "Creator": "ScanBridge", "Producer": "ScanBridge 1.7 (SB-220)",
        "CreationDate": "D:20240129081502",
    }, [("Invoice 10442", ["Hollis Office Supplies. Invoice date 26 January 2024.",
                           "Paper, toner and binders. Total due 318.40 within 30 days."])],
        "Scanned document", (0.45, 0.45, 0.45), version="1.3")


def _research_paper():
    return _sample("Research Paper Draft.pdf", "two authors, long title", {
        "Title": "Thermal Drift in Low-Cost Temperature Sensors",
        "Author": "Jonas Albrecht; Priya Raman",
        "Subject": "Preprint submitted for review",
        "Keywords": "sensors; calibration; thermal drift; measurement",
        "Creator": "Texmill 2.1", "Producer": "Texmill pdfwriter 2.1",
        "CreationDate": "D:20230419221107+02'00'", "ModDate": "D:20230502110233+02'00'",
    }, [
        ("Thermal Drift in Low-Cost Sensors", ["Abstract. We measure the drift of six "
                                               "low-cost temperature sensors over 1,000 hours."]),
        ("1 Introduction", ["Cheap sensors are everywhere; their long-term drift is rarely "
                            "reported."]),
        ("2 Method", ["Sensors were held at 20, 40 and 60 degrees in a climate chamber."]),
        ("3 Results", ["Drift ranged from 0.02 to 0.41 degrees per 100 hours."]),
        ("4 Discussion", ["A yearly two-point calibration keeps all six within 0.5 degrees."]),
        ("References", ["[1] Raman P., Sensor ageing, 2021.", "[2] Albrecht J., "
                                                             "Chamber design, 2022."]),
    ], "Preprint", (0.20, 0.20, 0.50))


def all_cases():
    return [_annual_report(), _summer_menu(), _meeting_minutes(), _brochure(), _budget(),
            _invoice(), _research_paper()]
