// Writes an outline file for the real-input tests from a short JSON description on standard input:
//   {"name": "...", "window": [w, h], "canvasColour": c,
//    "frames":     [{"bounds": [l, t, w, h], "title": "..."}],
//    "textFields": [{"bounds": [...], "text": "...", "parent": k}],
//    "captions":   [{"bounds": [...], "text": "...", "parent": k}],
//    "pictures":   [{"bounds": [...], "parent": k, "image": "photo.jpg"}],  (image optional)
//    "videos":     [{"bounds": [...], "parent": k, "file": "film.avi"}],  (file optional)
//    "arrows":     [[x1, y1, x2, y2]]}
// "parent" is a frame slot (0 or absent = on the canvas); bounds are relative to the parent.
// Frames, text fields, pictures and videos take an optional "minimal" (their minimal text); frames
// an optional "titleColour" and "colour" (colour values), text fields an optional "background",
// "alignment" (0 left, 1 right, 2 centre) and "fontSize" (points), pictures an optional "border"
// (0 or 1).
// Usage: e2e_make_outline OUT.vmd < description.json
#include "model/document.h"
#include "storage/outline_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

using namespace velmar;

namespace {

QRect rectOf(const QJsonValue& v)
{
    const QJsonArray a = v.toArray();
    return QRect(a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt(), a.at(3).toInt());
}

bool fail(const char* what)
{
    std::fprintf(stderr, "e2e_make_outline: %s\n", what);
    return false;
}

bool build(const QJsonObject& json, Document& doc)
{
    Outline& o = doc.outline;
    if (json.contains("name"))
        doc.state.outlineName = json.value("name").toString();
    if (json.contains("window")) {
        const QJsonArray w = json.value("window").toArray();
        doc.state.windowSize = QSize(w.at(0).toInt(), w.at(1).toInt());
    }
    if (json.value("canvasColour").isDouble())
        doc.state.canvasColour = ColourValue(json.value("canvasColour").toInteger());
    for (const QJsonValue& f : json.value("frames").toArray()) {
        const int slot = o.createFrame(rectOf(f["bounds"]), f["title"].toString());
        if (!slot)
            return fail("too many frames");
        if (f["minimal"].isString())
            o.frame(slot).minimalText = f["minimal"].toString();
        if (f["titleColour"].isDouble())
            o.frame(slot).titleColour = ColourValue(f["titleColour"].toInteger());
        if (f["colour"].isDouble())
            o.frame(slot).colour = ColourValue(f["colour"].toInteger());
    }
    for (const QJsonValue& t : json.value("textFields").toArray()) {
        const int slot = o.createTextField(rectOf(t["bounds"]), kButtonFace, t["text"].toString(), t["parent"].toInt());
        if (!slot)
            return fail("too many text fields");
        if (t["minimal"].isString())
            o.textField(slot).minimalText = t["minimal"].toString();
        if (t["background"].isDouble())
            o.textField(slot).background = ColourValue(t["background"].toInteger());
        if (t["alignment"].isDouble())
            o.textField(slot).alignment = quint8(t["alignment"].toInt());
        if (t["fontSize"].isDouble())
            o.textField(slot).font.size = t["fontSize"].toInt();
    }
    for (const QJsonValue& c : json.value("captions").toArray())
        if (!o.createCaption(rectOf(c["bounds"]), c["text"].toString(), c["parent"].toInt()))
            return fail("too many captions");
    for (const QJsonValue& p : json.value("pictures").toArray()) {
        const int slot = o.createPicture(rectOf(p["bounds"]), p["parent"].toInt());
        if (!slot)
            return fail("too many pictures");
        QImage image;
        if (p["image"].isString() && !image.load(p["image"].toString()))
            return fail("picture file cannot be read");
        if (image.isNull()) {
            image = QImage(rectOf(p["bounds"]).size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
            image.fill(QColor(0x40, 0x90, 0xC0));
        }
        image = image.convertToFormat(QImage::Format_RGB32);
        o.picture(slot).setBitmap(image);
        if (p["minimal"].isString())
            o.picture(slot).minimalText = p["minimal"].toString();
        o.picture(slot).border = quint8(p["border"].toInt());
    }
    for (const QJsonValue& v : json.value("videos").toArray()) {
        const int slot = o.createVideo(rectOf(v["bounds"]), v["parent"].toInt());
        if (!slot)
            return fail("too many videos");
        o.video(slot).fileName = v["file"].toString();
        if (v["minimal"].isString())
            o.video(slot).minimalText = v["minimal"].toString();
    }
    for (const QJsonValue& a : json.value("arrows").toArray()) {
        const QJsonArray p = a.toArray();
        if (!o.createArrow(p.at(0).toInt(), p.at(1).toInt(), p.at(2).toInt(), p.at(3).toInt(), 1, kBlack))
            return fail("too many arrows");
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return fail("usage: e2e_make_outline OUT.vmd < description.json"), 2;
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return fail("cannot read standard input"), 1;
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(in.readAll(), &error);
    if (!json.isObject())
        return std::fprintf(stderr, "e2e_make_outline: %s\n", qPrintable(error.errorString())), 1;
    Document doc;
    // Objects lying on the canvas are fitted into the client area of the stored window.
    doc.outline.setClientSize(doc.state.windowSize);
    if (!build(json.object(), doc))
        return 1;
    const WriteResult written = writeOutlineFile(QString::fromLocal8Bit(argv[1]), doc);
    if (!written.ok)
        return fail("cannot write the outline"), 1;
    return 0;
}
