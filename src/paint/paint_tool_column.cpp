// The tool buttons and option panels of the graphic editor.
#include "paint/paint_tool_column.h"

#include "paint/core/paint_document.h"
#include "paint/core/zoom_mapping.h"
#include "paint/paint_option_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

namespace velmar::paint {

namespace {

struct ToolButtonEntry {
    ToolId tool;
    const char* panel;  // the button's component name
    const char* image;  // its icon's component name
    const char* icon;   // picture in the resources
    const char* hint;
};

// Two buttons per row, in tool-number order.
constexpr ToolButtonEntry kToolButtons[] = {
    {ToolId::Selection, "Panel40", "Image2", "select", QT_TRANSLATE_NOOP("PaintTools", "Выделение")},
    {ToolId::Zoom, "Panel41", "Image3", "zoom", QT_TRANSLATE_NOOP("PaintTools", "Масштаб")},
    {ToolId::Eraser, "Panel42", "Image4", "eraser", QT_TRANSLATE_NOOP("PaintTools", "Ластик")},
    {ToolId::ColourPicker, "Panel43", "Image5", "picker", QT_TRANSLATE_NOOP("PaintTools", "Выбор цвета")},
    {ToolId::Pencil, "Panel44", "Image6", "pencil", QT_TRANSLATE_NOOP("PaintTools", "Карандаш")},
    {ToolId::Spray, "Panel46", "Image8", "spray", QT_TRANSLATE_NOOP("PaintTools", "Распылитель")},
    {ToolId::Fill, "Panel47", "Image9", "fill", QT_TRANSLATE_NOOP("PaintTools", "Заливка")},
    {ToolId::Line, "Panel48", "Image10", "line", QT_TRANSLATE_NOOP("PaintTools", "Линия")},
    {ToolId::Text, "Panel49", "Image11", "text", QT_TRANSLATE_NOOP("PaintTools", "Надпись")},
    {ToolId::Rectangle, "Panel50", "Image12", "rectangle", QT_TRANSLATE_NOOP("PaintTools", "Прямоугольник")},
    {ToolId::Ellipse, "Panel52", "Image14", "ellipse", QT_TRANSLATE_NOOP("PaintTools", "Эллипс")},
    {ToolId::RoundedRectangle, "Panel53", "Image15", "round_rect",
     QT_TRANSLATE_NOOP("PaintTools", "Скругленный прямоугольник")},
};

constexpr int kButtonSize = 24;
constexpr int kOptionsTop = 4 + 6 * (kButtonSize + 1) + 4;
constexpr int kOptionsWidth = 51;

// The picture drawn at twice the density on scaled screens (name@2x.png), so icons stay sharp;
// the painter and the icon engine size it by its device pixel ratio.
QImage icon(const char* name)
{
    const QString base = QStringLiteral(":/icons/paint_%1").arg(QLatin1String(name));
    if (qApp->devicePixelRatio() > 1.0) {
        QImage sharp(base + QStringLiteral("@2x.png"));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QImage(base + QStringLiteral(".png"));
}

// Both densities given outright, so a window moved to a scaled screen later also finds the sharp one.
QIcon buttonIcon(const char* name)
{
    const QString base = QStringLiteral(":/icons/paint_%1").arg(QLatin1String(name));
    QIcon both(base + QStringLiteral(".png"));
    both.addFile(base + QStringLiteral("@2x.png"));
    return both;
}

// The picture of an arrow-head row: a short line with the heads it draws.
QImage arrowPicture(ArrowHeads heads)
{
    QImage picture(36, 12, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(3, 6), QPointF(33, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    if (heads != ArrowHeads::None)
        p.drawPolygon(QPolygonF({QPointF(35, 6), QPointF(27, 2), QPointF(27, 10)}));
    if (heads == ArrowHeads::Both)
        p.drawPolygon(QPolygonF({QPointF(1, 6), QPointF(9, 2), QPointF(9, 10)}));
    return picture;
}

QWidget* optionPanel(const char* name, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    panel->move(4, kOptionsTop);
    panel->setFixedWidth(kOptionsWidth);
    panel->hide();
    return panel;
}

}  // namespace

ToolColumn::ToolColumn(PaintDocument& document, QWidget* parent) : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("Panel3"));
    setFixedWidth(kWidth);

    int k = 0;
    for (const ToolButtonEntry& entry : kToolButtons) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(entry.panel));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(4 + (k % 2) * (kButtonSize + 2), 4 + (k / 2) * (kButtonSize + 1), kButtonSize, kButtonSize);
        button->setIcon(buttonIcon(entry.icon));
        button->setIconSize(QSize(19, 19));
        button->setToolTip(QCoreApplication::translate("PaintTools", entry.hint));
        button->setProperty("imageName", QLatin1String(entry.image));
        const ToolId tool = entry.tool;
        // A click chooses the tool; the button's look follows the editor's current tool.
        connect(button, &QToolButton::clicked, this, [this, tool] {
            emit toolClicked(tool);
            refresh();
        });
        m_buttons[tool] = button;
        ++k;
    }

    // Zoom list.
    m_zoomPanel = optionPanel("Panel54", this);
    std::vector<OptionList::Row> zoomRows;
    for (int i = 0; i < kZoomRowCount; ++i)
        zoomRows.push_back({QCoreApplication::translate("PaintTools", zoomRowText(i)),
                            {},
                            {},
                            i == kFitRow ? QCoreApplication::translate("PaintTools", "По размеру окна") : QString()});
    m_zoomList = new OptionList(QStringLiteral("ListBox1"), 16, std::move(zoomRows), m_zoomPanel);
    m_zoomList->setFixedWidth(kOptionsWidth);
    m_zoomPanel->setFixedHeight(m_zoomList->height());
    connect(m_zoomList, &OptionList::rowClicked, this, &ToolColumn::zoomRowClicked);

    // Fill style of the shapes: outline, outline and other colour inside, filled.
    m_fillStylePanel = optionPanel("Panel55", this);
    m_fillStyleList = new OptionList(
        QStringLiteral("ListBox2"), 17,
        {{{}, icon("fill_0"), {7, 2}, QCoreApplication::translate("PaintTools", "Контур")},
         {{}, icon("fill_1"), {7, 20}, QCoreApplication::translate("PaintTools", "Контур и заливка")},
         {{}, icon("fill_2"), {7, 36}, QCoreApplication::translate("PaintTools", "Заливка без контура")}},
        m_fillStylePanel);
    m_fillStyleList->setFixedWidth(kOptionsWidth);
    m_fillStylePanel->setFixedHeight(m_fillStyleList->height());
    connect(m_fillStyleList, &OptionList::rowClicked, this,
            [this](int row) { m_document.setFillStyle(FillStyle(row)); });

    // The line's arrow heads: none, at the end, at both ends.
    m_arrowHeadPanel = optionPanel("arrowHeadPanel", this);
    m_arrowHeadList = new OptionList(
        QStringLiteral("arrowHeadList"), 17,
        {{{}, arrowPicture(ArrowHeads::None), {7, 2}, QCoreApplication::translate("PaintTools", "Без стрелок")},
         {{}, arrowPicture(ArrowHeads::End), {7, 19}, QCoreApplication::translate("PaintTools", "Стрелка на конце")},
         {{},
          arrowPicture(ArrowHeads::Both),
          {7, 36},
          QCoreApplication::translate("PaintTools", "Стрелки на обоих концах")}},
        m_arrowHeadPanel);
    m_arrowHeadList->setAccessibleName(QCoreApplication::translate("PaintTools", "Стрелки линии"));
    m_arrowHeadList->setFixedWidth(kOptionsWidth);
    m_arrowHeadPanel->setFixedHeight(m_arrowHeadList->height());
    connect(m_arrowHeadList, &OptionList::rowClicked, this,
            [this](int row) { m_document.setArrowHeads(ArrowHeads(row)); });

    // Opaque or transparent placement of floating pieces.
    m_placementPanel = optionPanel("Panel63", this);
    m_placementList = new OptionList(
        QStringLiteral("ListBox3"), 28,
        {{{}, icon("opaque"), {7, 2}, QCoreApplication::translate("PaintTools", "Непрозрачный фрагмент")},
         {{}, icon("transparent"), {7, 30}, QCoreApplication::translate("PaintTools", "Прозрачный фрагмент")}},
        m_placementPanel);
    m_placementList->setFixedWidth(kOptionsWidth);
    m_placementPanel->setFixedHeight(m_placementList->height());
    connect(m_placementList, &OptionList::rowClicked, this, &ToolColumn::placementRowClicked);

    // Fill tolerance and "Все".
    m_tolerancePanel = optionPanel("Panel64", this);
    auto* label = new QLabel(QCoreApplication::translate("PaintTools", "Допуск"), m_tolerancePanel);
    label->setObjectName(QStringLiteral("Label1"));
    label->move(0, 0);
    m_tolerance = new QSpinBox(m_tolerancePanel);
    m_tolerance->setObjectName(QStringLiteral("UpDown1"));
    m_tolerance->setRange(0, 500);
    m_tolerance->setGeometry(0, 16, kOptionsWidth, 22);
    m_tolerance->setValue(m_document.fillTolerance());
    connect(m_tolerance, &QSpinBox::valueChanged, this, [this](int v) { m_document.setFillTolerance(v); });
    m_fillAll = new QCheckBox(QCoreApplication::translate("PaintTools", "Все"), m_tolerancePanel);
    m_fillAll->setObjectName(QStringLiteral("CheckBox1"));
    m_fillAll->move(0, 42);
    m_fillAll->setFocusPolicy(Qt::NoFocus);
    connect(m_fillAll, &QCheckBox::toggled, this, [this](bool on) { m_document.setFillAll(on); });
    m_tolerancePanel->setFixedHeight(62);

    // The text tool's font.
    m_fontPanel = optionPanel("Panel62", this);
    m_fontButton = new QPushButton(QCoreApplication::translate("PaintTools", "Шрифт"), m_fontPanel);
    m_fontButton->setObjectName(QStringLiteral("fontButton"));
    m_fontButton->setGeometry(0, 0, kOptionsWidth, 23);
    m_fontButton->setFocusPolicy(Qt::NoFocus);
    m_fontPanel->setFixedHeight(23);
    connect(m_fontButton, &QPushButton::clicked, this, &ToolColumn::fontClicked);

    connect(&m_document, &PaintDocument::toolChanged, this, &ToolColumn::refresh);
    connect(&m_document, &PaintDocument::optionsChanged, this, &ToolColumn::refresh);
    connect(&m_document, &PaintDocument::zoomChanged, this, &ToolColumn::refresh);
    refresh();
}

QToolButton* ToolColumn::button(ToolId tool) const
{
    const auto it = m_buttons.find(tool);
    return it == m_buttons.end() ? nullptr : it->second;
}

void ToolColumn::refresh()
{
    const ToolId current = m_document.currentTool();
    for (const auto& [tool, button] : m_buttons)
        button->setChecked(tool == current);

    m_zoomList->setCurrentRow(m_document.zoomIndex());
    m_fillStyleList->setCurrentRow(int(m_document.fillStyle()));
    m_placementList->setCurrentRow(m_document.transparentMode());
    m_arrowHeadList->setCurrentRow(int(m_document.arrowHeads()));
    if (m_tolerance->value() != m_document.fillTolerance())
        m_tolerance->setValue(m_document.fillTolerance());
    m_fillAll->setChecked(m_document.fillAll());

    const bool shape =
        current == ToolId::Rectangle || current == ToolId::Ellipse || current == ToolId::RoundedRectangle;
    m_zoomPanel->setVisible(current == ToolId::Zoom);
    m_fillStylePanel->setVisible(shape);
    m_tolerancePanel->setVisible(current == ToolId::Fill);
    m_fontPanel->setVisible(current == ToolId::Text);
    m_arrowHeadPanel->setVisible(current == ToolId::Line);
    // The text tool shows the font button above the placement list.
    m_placementPanel->move(4, current == ToolId::Text ? kOptionsTop + 27 : kOptionsTop);
    m_placementPanel->setVisible(current == ToolId::Selection || current == ToolId::Text);
}

}  // namespace velmar::paint
