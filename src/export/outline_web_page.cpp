#include "export/outline_web_page.h"

#include "export/outline_web_svg.h"
#include "model/object_kinds.h"
#include "model/reveal_order.h"
#include "model/summary_formats.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <map>

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
// appears; the hidden list #steps holds each step's minimal text.
const char kScript[] = R"js(
(function () {
  'use strict';
  var svg = document.getElementById('outline');
  var layers = Array.prototype.slice.call(svg.querySelectorAll('[data-step]'));
  var texts = Array.prototype.map.call(document.querySelectorAll('#steps li'), function (li) {
    return li.textContent;
  });
  var last = Math.max(0, texts.length - 1);
  var button = document.getElementById('show');
  var position = document.getElementById('position');
  var subtitle = document.getElementById('subtitle');
  // The show needs this script: its button appears only where the script runs.
  button.hidden = false;
  var step = -1;  // -1: the whole outline, no show
  var subtitles = false;

  function draw() {
    var showing = step >= 0;
    layers.forEach(function (g) {
      g.classList.toggle('later', showing && Number(g.getAttribute('data-step')) > step);
    });
    document.body.classList.toggle('showing', showing);
    button.setAttribute('aria-pressed', showing ? 'true' : 'false');
    position.textContent = showing ? 'Шаг ' + step + ' из ' + last : '';
    subtitle.textContent = showing ? (texts[step] || '') : '';
    subtitle.hidden = !(showing && subtitles);
    document.body.classList.toggle('subtitles', showing && subtitles);
    svg.style.height = showing && subtitles ? 'calc(100vh - ' + (36 + subtitle.offsetHeight) + 'px)' : '';
  }
  function go(to) {
    if (step < 0) window.scrollTo(0, 0);
    step = Math.max(0, Math.min(last, to));
    draw();
  }
  function whole() {
    step = -1;
    draw();
  }

  button.addEventListener('click', function () {
    if (step < 0) go(0); else whole();
  });
  document.addEventListener('keydown', function (e) {
    if (e.altKey || e.ctrlKey || e.metaKey) return;
    if (e.code === 'KeyT') {
      subtitles = !subtitles;
      draw();
      e.preventDefault();
      return;
    }
    switch (e.key) {
      case 'ArrowRight': case ' ': case 'PageDown': go(step < 0 ? 0 : step + 1); break;
      case 'ArrowLeft': case 'Backspace': case 'PageUp': if (step < 0) return; go(step - 1); break;
      case 'Home': go(0); break;
      case 'End': go(last); break;
      case 'Escape': if (step < 0) return; whole(); break;
      default: return;
    }
    e.preventDefault();
  });
  // A tap or click on the right half goes forward, on the left half back.
  svg.addEventListener('click', function (e) {
    if (step < 0) return;
    var box = svg.getBoundingClientRect();
    go(e.clientX - box.left < box.width / 2 ? step - 1 : step + 1);
  });
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

QByteArray webPageScript() { return QByteArray(kScript); }

QByteArray webPageStyle() { return QByteArray(kStyle); }

QByteArray outlineWebPage(const Document& document, QSize clientSize, qint64* embeddedJpegBytes)
{
    const RevealOrder order(document.outline);
    const std::map<ObjectId, WebLayerInfo> infos = layerInfos(document.outline, order);
    const QString svg = outlineWebSvg(
        document, clientSize,
        [&](ObjectId id) {
            const auto found = infos.find(id);
            return found == infos.end() ? WebLayerInfo{} : found->second;
        },
        embeddedJpegBytes);
    if (svg.isEmpty())
        return {};

    const QString csp = QStringLiteral("default-src 'none'; img-src data:; style-src %1; script-src %2; "
                                       "base-uri 'none'; form-action 'none'")
                            .arg(hashSource(webPageStyle()), hashSource(webPageScript()));
    const QString name = document.state.outlineName;
    QString page;
    page.reserve(svg.size() + 16 * 1024);
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
    page += svg;
    page += QStringLiteral("<p id=\"subtitle\" aria-live=\"polite\" hidden=\"\"></p>\n<ol id=\"steps\" hidden=\"\">\n");
    for (int s = 0; s < order.stepCount(); ++s)
        page += QStringLiteral("<li>") + escaped(order.step(s).subtitle) + QStringLiteral("</li>\n");
    page += QStringLiteral("</ol>\n</main>\n<section id=\"summary\" aria-label=\"Минимальные тексты\">\n");
    // The summary's line breaks are written as XML-style empty elements, which HTML reads alike.
    page += summaryBody(document).replace(QStringLiteral("<br>"), QStringLiteral("<br/>"));
    page += QStringLiteral("</section>\n<script>") + QString::fromUtf8(webPageScript())
            + QStringLiteral("</script>\n</body>\n</html>\n");
    return page.toUtf8();
}

QString exportWebPage(const Document& document, QSize clientSize, const QString& path)
{
    const QByteArray page = outlineWebPage(document, clientSize);
    if (page.isEmpty())
        return QCoreApplication::translate("OutlineWebPage", "Не удалось построить веб-страницу для файла «%1».")
            .arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size() || !file.commit())
        return QCoreApplication::translate("OutlineWebPage", "Не удалось записать веб-страницу в файл «%1»: %2.")
            .arg(path, file.errorString());
    return {};
}

}  // namespace velmar
