#include "cli/mpcdi_xml.h"

#include <QByteArray>
#include <QXmlStreamWriter>

namespace lumora::cli {
namespace {

QString Number(double value) {
    return QString::number(value, 'g', 10);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

std::string MpcdiXml(const std::vector<MpcdiRegion>& regions, int height, const std::string& date) {
    int bufferWidth = 0;
    for (const MpcdiRegion& region : regions) {
        bufferWidth += region.width;
    }
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    // Readers compare names exactly: the 2.0 spellings throughout.
    xml.writeStartElement("MPCDI");
    xml.writeAttribute("profile", "2d");
    xml.writeAttribute("geometry", "2");
    xml.writeAttribute("color", "1");
    xml.writeAttribute("date", Text(date));
    xml.writeAttribute("version", "2.0");

    xml.writeStartElement("display");
    xml.writeStartElement("buffer");
    xml.writeAttribute("id", "buffer");
    xml.writeAttribute("xResolution", Number(bufferWidth));
    xml.writeAttribute("yResolution", Number(height));
    int x = 0;
    for (const MpcdiRegion& region : regions) {
        xml.writeStartElement("region");
        xml.writeAttribute("id", Text(region.id));
        xml.writeAttribute("x", Number(static_cast<double>(x) / bufferWidth));
        xml.writeAttribute("y", "0");
        xml.writeAttribute("xSize", Number(static_cast<double>(region.width) / bufferWidth));
        xml.writeAttribute("ySize", "1");
        xml.writeAttribute("xResolution", Number(region.width));
        xml.writeAttribute("yResolution", Number(height));
        xml.writeEndElement();
        x += region.width;
    }
    xml.writeEndElement();  // buffer
    xml.writeEndElement();  // display

    xml.writeStartElement("files");
    for (const MpcdiRegion& region : regions) {
        xml.writeStartElement("fileset");
        xml.writeAttribute("region", Text(region.id));
        xml.writeStartElement("geometryWarpFile");
        xml.writeTextElement("path", Text(region.warpFile));
        xml.writeTextElement("interpolation", "linear");
        xml.writeEndElement();
        xml.writeStartElement("alphaMap");
        xml.writeTextElement("path", Text(region.alphaFile));
        xml.writeTextElement("componentDepth", "1");
        xml.writeTextElement("bitDepth", "8");
        xml.writeTextElement("gammaEmbedded", Number(region.alphaGamma));
        xml.writeEndElement();
        xml.writeEndElement();  // fileset
    }
    xml.writeEndElement();  // files
    xml.writeEndElement();  // MPCDI
    xml.writeEndDocument();
    return bytes.toStdString();
}

}  // namespace lumora::cli
