#include "export/outline_web_page.h"

#include "export/base64_encoder.h"
#include "export/outline_web_svg.h"
#include "export/show_keys.h"
#include "model/object_kinds.h"
#include "model/reveal_order.h"
#include "model/summary_formats.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSaveFile>

#ifdef __linux__
#include <fcntl.h>
#endif

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace velmar {

namespace {

const char kStyle[] = R"css(
html, body { margin: 0; padding: 0; }
body { font-family: sans-serif; background: #fff; color: #000; }
/* The bar is 36 pixels high and the outline takes the rest of the window: a window of the
   outline's size plus 36 pixels shows it at its own size. */
#bar { height: 36px; box-sizing: border-box; display: flex; align-items: center; gap: 12px; padding: 0 8px; }
#bar button { font: inherit; padding: 2px 12px; }
#outline { display: block; width: 100%; height: calc(100vh - 36px); }
#outline .later { display: none; }
#outline .label { font: 12px sans-serif; fill: #fff; stroke: #000; stroke-width: 3px; paint-order: stroke; }
body.showing #outline { cursor: pointer; }
body.tool-pen #outline, body.tool-highlighter #outline { cursor: crosshair; touch-action: none; }
body.tool-eraser #outline { cursor: cell; touch-action: none; }
body.tool-laser #outline { cursor: none; }
/* The step counter "5 / 15" and the blank screens of B and W, over the outline. */
#counter { position: fixed; right: 16px; bottom: 16px; padding: 4px 16px; font-size: 24px;
           background: rgba(32, 32, 32, 0.8); color: #fff; }
#blank { position: fixed; left: 0; top: 0; width: 100vw; height: 100vh; z-index: 10; }
#blank.black { background: #000; }
#blank.white { background: #fff; }
/* The step's minimal text takes a strip of at least 64 pixels under the outline, tall enough for
   every line of the text (up to 40 % of the window); the script shrinks the outline for it. */
#subtitle { box-sizing: border-box; min-height: 64px; max-height: 40vh; margin: 0; padding: 8px;
            overflow: auto; font-size: 1.25em; text-align: center; white-space: pre-line; }
#summary { padding: 8px; }
@media print {
  #bar { display: none; }
  #outline { height: auto; max-height: 100vh; }
}
)css";

// Steps through the reading order: the data-step of each object's group is the step at which it
// appears; the hidden list #steps holds each step's minimal text, its data-frames the steps a frame
// leads. KEYS, written in from the show's own key table, names what each key does. The pen,
// the highlighter and the eraser draw into a group over the outline, one set of strokes per step;
// the laser pointer is a red dot following the pointer.
const char kScript[] = R"js(
(function () {
  'use strict';
  var KEYS = /*KEYS*/;
  var NS = 'http://www.w3.org/2000/svg';
  var svg = document.getElementById('outline');
  var layers = Array.prototype.slice.call(svg.querySelectorAll('[data-step]'));
  var items = Array.prototype.slice.call(document.querySelectorAll('#steps li'));
  var texts = items.map(function (li) { return li.textContent; });
  var frameSteps = (document.getElementById('steps').getAttribute('data-frames') || '')
    .split(' ').filter(Boolean).map(Number);
  var last = Math.max(0, texts.length - 1);
  var button = document.getElementById('show');
  var position = document.getElementById('position');
  var subtitle = document.getElementById('subtitle');
  var counterBox = document.getElementById('counter');
  var blankBox = document.getElementById('blank');
  // The show needs this script: its button appears only where the script runs.
  button.hidden = false;
  var step = -1;  // -1: the whole outline, no show
  var subtitles = false;
  var counter = false;
  var blank = '';  // '', 'black' or 'white'
  var typed = '';  // digits typed towards a frame's number

  // Drawing: strokes in the outline's own units, each tagged with its step.
  var box = svg.viewBox.baseVal;
  var unit = Math.max(box.width, box.height) / 250;
  var ink = document.createElementNS(NS, 'g');
  ink.setAttribute('id', 'ink');
  ink.setAttribute('fill', 'none');
  ink.setAttribute('stroke-linecap', 'round');
  ink.setAttribute('stroke-linejoin', 'round');
  svg.appendChild(ink);
  var laser = document.createElementNS(NS, 'circle');
  laser.setAttribute('id', 'laser');
  laser.setAttribute('r', String(unit * 2.5));
  laser.setAttribute('fill', '#ff1010');
  laser.setAttribute('display', 'none');
  laser.setAttribute('pointer-events', 'none');
  svg.appendChild(laser);
  var tool = 'arrow';
  var stroke = null;
  var erasing = false;

  function draw() {
    var showing = step >= 0;
    layers.forEach(function (g) {
      g.classList.toggle('later', showing && Number(g.getAttribute('data-step')) > step);
    });
    Array.prototype.forEach.call(ink.childNodes, function (line) {
      line.setAttribute('display', Number(line.getAttribute('data-ink-step')) === step ? 'inline' : 'none');
    });
    document.body.classList.toggle('showing', showing);
    button.setAttribute('aria-pressed', showing ? 'true' : 'false');
    position.textContent = showing ? 'Шаг ' + step + ' из ' + last : '';
    subtitle.textContent = showing ? (texts[step] || '') : '';
    subtitle.hidden = !(showing && subtitles);
    document.body.classList.toggle('subtitles', showing && subtitles);
    svg.style.height = showing && subtitles ? 'calc(100vh - ' + (36 + subtitle.offsetHeight) + 'px)' : '';
    counterBox.hidden = !(showing && (counter || typed));
    counterBox.textContent = typed ? '\u2192 ' + typed : step + ' / ' + last;
    blankBox.className = showing ? blank : '';
    blankBox.hidden = !(showing && blank);
  }
  function go(to) {
    typed = '';
    if (blank) {  // the first key after a blank screen only brings the outline back
      blank = '';
      draw();
      return;
    }
    endStroke();
    if (step < 0) window.scrollTo(0, 0);
    step = Math.max(0, Math.min(last, to));
    draw();
  }
  function whole() {
    endStroke();
    step = -1;
    blank = '';
    typed = '';
    draw();
  }
  function setTool(chosen) {
    endStroke();
    tool = chosen;
    ['pen', 'highlighter', 'laser', 'eraser'].forEach(function (t) {
      document.body.classList.toggle('tool-' + t, t === tool);
    });
    if (tool !== 'laser') laser.setAttribute('display', 'none');
  }
  function drawing() { return tool === 'pen' || tool === 'highlighter' || tool === 'eraser'; }

  button.addEventListener('click', function () {
    if (step < 0) go(0); else whole();
  });
  document.addEventListener('keydown', function (e) {
    if (e.altKey || e.ctrlKey || e.metaKey) return;
    var action = KEYS[e.code] || KEYS[e.key];
    if (!action) return;
    switch (action) {
      case 'forward': go(step < 0 ? 0 : step + 1); break;
      case 'back': if (step < 0) return; go(step - 1); break;
      case 'first': go(0); break;
      case 'last': go(last); break;
      case 'digit':
        if (step < 0) return;
        if (typed.length < 3) typed += e.key;
        draw();
        break;
      case 'enter':
        // Enter without a number is the focused button's.
        if (!typed) return;
        var target = frameSteps[Number(typed) - 1];
        typed = '';
        if (target !== undefined) go(target); else draw();
        break;
      case 'subtitles': subtitles = !subtitles; draw(); break;
      case 'counter': if (step < 0) return; counter = !counter; draw(); break;
      case 'black': case 'white':
        if (step < 0) return;
        blank = blank === action ? '' : action;
        draw();
        break;
      case 'pen': case 'highlighter': case 'laser': case 'eraser': case 'arrow': setTool(action); break;
      case 'escape':
        // Esc puts the tool down first; with the arrow it leaves the show.
        if (tool !== 'arrow') { setTool('arrow'); break; }
        if (step < 0) return;
        whole();
        break;
      default: return;
    }
    e.preventDefault();
  });

  function outlinePoint(e) {
    var p = svg.createSVGPoint();
    p.x = e.clientX;
    p.y = e.clientY;
    return p.matrixTransform(svg.getScreenCTM().inverse());
  }
  function eraseAt(e) {
    document.elementsFromPoint(e.clientX, e.clientY).forEach(function (el) {
      if (el.parentNode === ink) ink.removeChild(el);
    });
  }
  function endStroke() {
    stroke = null;
    erasing = false;
  }
  svg.addEventListener('pointerdown', function (e) {
    if (!drawing() || e.button !== 0) return;
    e.preventDefault();
    if (tool === 'eraser') {
      erasing = true;
      eraseAt(e);
      return;
    }
    svg.setPointerCapture(e.pointerId);
    // A pen tablet's pressure sets the width; half pressure draws the usual one.
    var weight = e.pointerType === 'pen' && e.pressure > 0 ? Math.min(2, Math.max(0.15, 2 * e.pressure)) : 1;
    var p = outlinePoint(e);
    stroke = document.createElementNS(NS, 'polyline');
    stroke.setAttribute('data-ink-step', String(step));
    stroke.setAttribute('stroke', tool === 'highlighter' ? '#ffe600' : '#dc1414');
    stroke.setAttribute('stroke-width', String(unit * weight * (tool === 'highlighter' ? 4 : 1)));
    if (tool === 'highlighter') stroke.setAttribute('stroke-opacity', '0.4');
    stroke.setAttribute('points', p.x + ',' + p.y + ' ' + p.x + ',' + p.y);
    ink.appendChild(stroke);
  });
  svg.addEventListener('pointermove', function (e) {
    if (tool === 'laser') {
      var at = outlinePoint(e);
      laser.setAttribute('cx', String(at.x));
      laser.setAttribute('cy', String(at.y));
      laser.setAttribute('display', 'inline');
    } else if (erasing) {
      eraseAt(e);
    } else if (stroke) {
      var p = outlinePoint(e);
      stroke.setAttribute('points', stroke.getAttribute('points') + ' ' + p.x + ',' + p.y);
    }
  });
  svg.addEventListener('pointerup', endStroke);
  svg.addEventListener('pointercancel', endStroke);
  svg.addEventListener('pointerleave', function () {
    laser.setAttribute('display', 'none');
    erasing = false;
  });
  // A tap or click on the right half goes forward, on the left half back (not while drawing).
  svg.addEventListener('click', function (e) {
    if (step < 0 || drawing()) return;
    var r = svg.getBoundingClientRect();
    go(e.clientX - r.left < r.width / 2 ? step - 1 : step + 1);
  });
  blankBox.addEventListener('click', function () { go(step); });
  draw();
})();
)js";

QString escaped(const QString& text)
{
    QString out = text.toHtmlEscaped();
    out.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    return out;
}

QString hashSource(const QByteArray& content)
{
    return QStringLiteral("'sha256-")
           + QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toBase64())
           + QLatin1Char('\'');
}

// A minimal text as a tooltip: line breaks kept, the "undefined" marker taken for no text.
QString tooltipText(const QString& minimalText)
{
    if (minimalText == kUndefinedText)
        return {};
    QString text = minimalText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.trimmed();
}

// The web page's entry for each kind of object: the element id's stem, the ARIA role of its layer
// and the name a screen reader announces.
template <typename Object>
struct WebKind;

template <>
struct WebKind<FrameObject> {
    static constexpr const char* element = "frame";
    static constexpr const char* role = "group";
    static QString name(const FrameObject& f)
    {
        const QString minimal = tooltipText(f.minimalText);
        return minimal.isEmpty() ? f.title.trimmed() : minimal;
    }
};

template <>
struct WebKind<PictureObject> {
    static constexpr const char* element = "picture";
    static constexpr const char* role = "img";
    static QString name(const PictureObject& p) { return tooltipText(p.minimalText); }
};

template <>
struct WebKind<TextFieldObject> {
    static constexpr const char* element = "text";
    static constexpr const char* role = "group";
    static QString name(const TextFieldObject& t) { return tooltipText(t.minimalText); }
};

template <>
struct WebKind<CaptionObject> {
    static constexpr const char* element = "caption";
    static constexpr const char* role = "";
    static QString name(const CaptionObject&) { return {}; }
};

template <>
struct WebKind<VideoObject> {
    static constexpr const char* element = "video";
    static constexpr const char* role = "img";
    static QString name(const VideoObject& v)
    {
        const QString file = QFileInfo(v.fileName).fileName();
        const QString minimal = tooltipText(v.minimalText);
        QString name = file.isEmpty() ? QStringLiteral("Фильм") : QStringLiteral("Фильм «%1»").arg(file);
        if (!minimal.isEmpty())
            name = minimal + QStringLiteral(" (") + name + QLatin1Char(')');
        return name;
    }
    // A film's layer also carries its file's name.
    static QString label(const VideoObject& v) { return QFileInfo(v.fileName).fileName(); }
};

template <>
struct WebKind<ArrowObject> {
    static constexpr const char* element = "arrow";
    static constexpr const char* role = "";
    static QString name(const ArrowObject&) { return {}; }
};

std::map<ObjectId, WebLayerInfo> layerInfos(const Outline& outline, const RevealOrder& order)
{
    std::map<ObjectId, WebLayerInfo> infos;
    forEachKind([&](auto tag) {
        using Object = typename decltype(tag)::Object;
        using Web = WebKind<Object>;
        int slot = 0;
        for (const Object& object : outline.objects<Object>()) {
            WebLayerInfo& info = infos[object.id];
            info.elementId = QLatin1String(Web::element) + QLatin1Char('-') + QString::number(++slot);
            info.step = std::max(0, order.stepOf(object.id));
            info.name = Web::name(object);
            info.role = QLatin1String(Web::role);
            if constexpr (requires { Web::label(object); })
                info.label = Web::label(object);
        }
    });
    return infos;
}

// The body of the summary document: the same headings and paragraphs the summary command writes.
QString summaryBody(const Document& document)
{
    const QString html = summaryHtml(document.outline, document.state.outlineName);
    const QString open = QStringLiteral("<body>\n"), close = QStringLiteral("</body>");
    const qsizetype start = html.indexOf(open);
    const qsizetype end = html.lastIndexOf(close);
    if (start < 0 || end < start)
        return {};
    return html.mid(start + open.size(), end - start - open.size());
}

// The page in UTF-8 as it is put together: its head, the drawing in pieces each followed by the
// photo whose stream goes there in base64 (-1: none), and its tail.
struct PageParts {
    struct Piece {
        QByteArray text;
        int photo = -1;
    };
    QByteArray head, tail;
    std::vector<Piece> drawing;
    std::vector<QByteArray> photos;

    // The drawing made with each photo's mark where its stream goes (see outlineWebSvg).
    void setDrawing(const QByteArray& svg)
    {
        const char mark = char(kWebPhotoMark);
        qsizetype at = 0;
        while (at < svg.size()) {
            const qsizetype open = svg.indexOf(mark, at);
            const qsizetype close = open < 0 ? -1 : svg.indexOf(mark, open + 1);
            if (close < 0) {
                drawing.push_back({svg.mid(at), -1});
                break;
            }
            bool ok = false;
            const qsizetype index = svg.mid(open + 1, close - open - 1).toLongLong(&ok);
            const bool known = ok && index >= 0 && index < qsizetype(photos.size());
            drawing.push_back({svg.mid(at, open - at), known ? int(index) : -1});
            at = close + 1;
        }
    }

    // The page's bytes.
    qsizetype size() const
    {
        qsizetype bytes = head.size() + tail.size();
        for (const Piece& piece : drawing)
            bytes += piece.text.size() + (piece.photo >= 0 ? base64Length(photos[std::size_t(piece.photo)].size()) : 0);
        return bytes;
    }
};

// Writes a page through a buffer of its own, handed to `sink` each time it is full: the photos'
// base64 is encoded straight into the buffer, so that the page is never held whole on its way
// to a file, and what is encoded is still in the processor's cache when it is written.
class PageWriter {
public:
    using Sink = std::function<bool(const char* data, qsizetype size)>;

    explicit PageWriter(Sink sink) : m_sink(std::move(sink)), m_buffer(kBufferBytes, Qt::Uninitialized) {}

    void append(const char* data, qsizetype size)
    {
        while (size > 0) {
            if (m_used == m_buffer.size())
                flush();
            const qsizetype n = std::min(size, m_buffer.size() - m_used);
            std::memcpy(m_buffer.data() + m_used, data, std::size_t(n));
            m_used += n;
            data += n;
            size -= n;
        }
    }

    void appendBase64(const QByteArray& bytes)
    {
        const char* data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            // Whole groups of three bytes, but for the stream's last piece (its padding).
            const qsizetype room = (m_buffer.size() - m_used) / 4 * 3;
            if (room == 0) {
                flush();
                continue;
            }
            const qsizetype n = std::min(left, room);
            encodeBase64(data, n, m_buffer.data() + m_used);
            m_used += base64Length(n);
            data += n;
            left -= n;
        }
    }

    // False when the sink refused a piece.
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    static constexpr qsizetype kBufferBytes = 128 * 1024;

    void flush()
    {
        if (m_used > 0 && m_ok)
            m_ok = m_sink(m_buffer.constData(), m_used);
        m_used = 0;
    }

    Sink m_sink;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    bool m_ok = true;
};

// The page's parts written in order, each photo's mark in the drawing replaced by its stream.
bool writePage(const PageParts& parts, PageWriter::Sink sink)
{
    PageWriter writer(std::move(sink));
    writer.append(parts.head.constData(), parts.head.size());
    for (const PageParts::Piece& piece : parts.drawing) {
        writer.append(piece.text.constData(), piece.text.size());
        if (piece.photo >= 0)
            writer.appendBase64(parts.photos[std::size_t(piece.photo)]);
    }
    writer.append(parts.tail.constData(), parts.tail.size());
    return writer.finish();
}

}  // namespace

bool isWebPageName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm");
}

QString webPageFileName(const QString& chosen)
{
    return isWebPageName(chosen) ? chosen : chosen + QStringLiteral(".html");
}

QByteArray webPageScript()
{
    // The keys are those of the show, from the table both use.
    QByteArray script(kScript);
    script.replace("/*KEYS*/", webShowKeyMap());
    return script;
}

QByteArray webPageStyle() { return QByteArray(kStyle); }

namespace {

// The page's parts; nullopt when the drawing could not be made.
std::optional<PageParts> pageParts(const Document& document, QSize clientSize, qint64* embeddedJpegBytes)
{
    const RevealOrder order(document.outline);
    const std::map<ObjectId, WebLayerInfo> infos = layerInfos(document.outline, order);
    std::vector<QByteArray> photos;
    const QString svg = outlineWebSvg(
        document, clientSize,
        [&](ObjectId id) {
            const auto found = infos.find(id);
            return found == infos.end() ? WebLayerInfo{} : found->second;
        },
        embeddedJpegBytes, &photos);
    if (svg.isEmpty())
        return std::nullopt;

    const QString csp = QStringLiteral("default-src 'none'; img-src data:; style-src %1; script-src %2; "
                                       "base-uri 'none'; form-action 'none'")
                            .arg(hashSource(webPageStyle()), hashSource(webPageScript()));
    const QString name = document.state.outlineName;
    QString page;
    page.reserve(16 * 1024);
    page += QStringLiteral("<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                           "<meta http-equiv=\"Content-Security-Policy\" content=\"")
            + csp
            + QStringLiteral("\"/>\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
                             "<meta name=\"generator\" content=\"Velmar\"/>\n<title>")
            + escaped(name) + QStringLiteral("</title>\n<style>") + QString::fromUtf8(webPageStyle())
            + QStringLiteral("</style>\n</head>\n<body>\n<div id=\"bar\"><button id=\"show\" type=\"button\" "
                             "aria-pressed=\"false\" hidden=\"\">Показ</button><span id=\"position\" "
                             "aria-live=\"polite\"></span></div>\n"
                             "<main>\n");
    const QByteArray head = page.toUtf8();
    page.clear();
    // The steps a frame leads, by number: a frame's number and Enter jump to them.
    QStringList frameSteps;
    for (int s = 1; s < order.stepCount(); ++s)
        if (document.outline.kindOf(order.step(s).lead) == ObjectKind::Frame)
            frameSteps << QString::number(s);
    page += QStringLiteral("<p id=\"subtitle\" aria-live=\"polite\" hidden=\"\"></p>\n"
                           "<div id=\"counter\" aria-live=\"polite\" hidden=\"\"></div>\n"
                           "<div id=\"blank\" hidden=\"\"></div>\n<ol id=\"steps\" data-frames=\"")
            + frameSteps.join(QLatin1Char(' ')) + QStringLiteral("\" hidden=\"\">\n");
    for (int s = 0; s < order.stepCount(); ++s)
        page += QStringLiteral("<li>") + escaped(order.step(s).subtitle) + QStringLiteral("</li>\n");
    page += QStringLiteral("</ol>\n</main>\n<section id=\"summary\" aria-label=\"Минимальные тексты\">\n");
    // The summary's line breaks are written as XML-style empty elements, which HTML reads alike.
    page += summaryBody(document).replace(QStringLiteral("<br>"), QStringLiteral("<br/>"));
    page += QStringLiteral("</section>\n<script>") + QString::fromUtf8(webPageScript())
            + QStringLiteral("</script>\n</body>\n</html>\n");
    PageParts parts;
    parts.head = head;
    parts.tail = page.toUtf8();
    parts.photos = std::move(photos);
    parts.setDrawing(svg.toUtf8());
    return parts;
}

}  // namespace

QByteArray outlineWebPage(const Document& document, QSize clientSize, qint64* embeddedJpegBytes)
{
    const std::optional<PageParts> parts = pageParts(document, clientSize, embeddedJpegBytes);
    if (!parts)
        return {};
    QByteArray page;
    page.reserve(parts->size());
    writePage(*parts, [&](const char* data, qsizetype size) {
        page.append(data, size);
        return true;
    });
    return page;
}

QString exportWebPage(const Document& document, QSize clientSize, const QString& path)
{
    const std::optional<PageParts> parts = pageParts(document, clientSize, nullptr);
    if (!parts)
        return QCoreApplication::translate("OutlineWebPage", "Не удалось построить веб-страницу для файла «%1».")
            .arg(path);
    // The page goes to the file piece by piece as it is put together, into room taken for it at
    // once (the file system then finds its blocks once rather than page by page as it grows).
    QSaveFile file(path);
    const bool opened = file.open(QIODevice::WriteOnly);
#ifdef __linux__
    if (opened)
        fallocate(file.handle(), 0, 0, parts->size());  // where it is refused, the file grows as it is written
#endif
    if (!opened || !writePage(*parts, [&](const char* data, qsizetype size) { return file.write(data, size) == size; })
        || !file.flush() || file.size() != parts->size() || !file.commit())
        return QCoreApplication::translate("OutlineWebPage", "Не удалось записать веб-страницу в файл «%1»: %2.")
            .arg(path, file.errorString());
    return {};
}

}  // namespace velmar
