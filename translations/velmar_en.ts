<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>AboutDialog</name>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Версия 4.2</source>
        <translation>Version 4.2</translation>
    </message>
    <message>
        <source>Редактор логических конспектов: фреймы с рисунками, текстовыми полями и видео фрагментами, стрелки между ними и минимальный текст каждого объекта, собранный в конспект в порядке чтения.</source>
        <translation>An editor of logical outlines: frames with pictures, text fields and video clips, arrows between them, and a minimal text for each object, gathered into a summary in reading order.</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>AccessibleNames</name>
    <message>
        <source>Холст конспекта</source>
        <translation>Outline canvas</translation>
    </message>
    <message>
        <source>Фреймы, рисунки, текстовые поля, видео фрагменты и стрелки конспекта</source>
        <translation>The outline&apos;s frames, pictures, text fields, video clips and arrows</translation>
    </message>
    <message>
        <source>Панель инструментов</source>
        <translation>Tool bar</translation>
    </message>
    <message>
        <source>Остальные кнопки</source>
        <translation>More buttons</translation>
    </message>
    <message>
        <source>Масштабирование рисунка</source>
        <translation>Picture scaling</translation>
    </message>
    <message>
        <source>Последовательность объектов</source>
        <translation>Object sequence</translation>
    </message>
    <message>
        <source>Показать порядок объектов на холсте</source>
        <translation>Show the order of the objects on the canvas</translation>
    </message>
    <message>
        <source>Последовательность фреймов</source>
        <translation>Frame sequence</translation>
    </message>
    <message>
        <source>Показать порядок фреймов на холсте</source>
        <translation>Show the order of the frames on the canvas</translation>
    </message>
    <message>
        <source>Переместить вперед</source>
        <translation>Move forward</translation>
    </message>
    <message>
        <source>Выбранный объект на одно место раньше в последовательности</source>
        <translation>The selected object one place earlier in the sequence</translation>
    </message>
    <message>
        <source>Переместить назад</source>
        <translation>Move back</translation>
    </message>
    <message>
        <source>Выбранный объект на одно место позже в последовательности</source>
        <translation>The selected object one place later in the sequence</translation>
    </message>
    <message>
        <source>Размер выделения: левый верхний угол</source>
        <translation>Selection size: top left corner</translation>
    </message>
    <message>
        <source>Размер выделения: правый верхний угол</source>
        <translation>Selection size: top right corner</translation>
    </message>
    <message>
        <source>Размер выделения: правый нижний угол</source>
        <translation>Selection size: bottom right corner</translation>
    </message>
    <message>
        <source>Размер выделения: левый нижний угол</source>
        <translation>Selection size: bottom left corner</translation>
    </message>
    <message>
        <source>Размер выделения: верхний край</source>
        <translation>Selection size: top edge</translation>
    </message>
    <message>
        <source>Размер выделения: правый край</source>
        <translation>Selection size: right edge</translation>
    </message>
    <message>
        <source>Размер выделения: нижний край</source>
        <translation>Selection size: bottom edge</translation>
    </message>
    <message>
        <source>Размер выделения: левый край</source>
        <translation>Selection size: left edge</translation>
    </message>
    <message>
        <source>Перемещение выделения</source>
        <translation>Move the selection</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: левый верхний угол</source>
        <translation>Size of the object in the frame: top left corner</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: правый верхний угол</source>
        <translation>Size of the object in the frame: top right corner</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: правый нижний угол</source>
        <translation>Size of the object in the frame: bottom right corner</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: левый нижний угол</source>
        <translation>Size of the object in the frame: bottom left corner</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: верхний край</source>
        <translation>Size of the object in the frame: top edge</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: правый край</source>
        <translation>Size of the object in the frame: right edge</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: нижний край</source>
        <translation>Size of the object in the frame: bottom edge</translation>
    </message>
    <message>
        <source>Размер объекта во фрейме: левый край</source>
        <translation>Size of the object in the frame: left edge</translation>
    </message>
    <message>
        <source>Перемещение объекта во фрейме</source>
        <translation>Move the object in the frame</translation>
    </message>
    <message>
        <source>Начало стрелки</source>
        <translation>Arrow start</translation>
    </message>
    <message>
        <source>Кнопки плеера</source>
        <translation>Player buttons</translation>
    </message>
    <message>
        <source>Конец стрелки</source>
        <translation>Arrow end</translation>
    </message>
    <message>
        <source>Инструменты</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Палитра</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>Левая кнопка выбирает основной цвет, правая — фоновый</source>
        <translation>The left button chooses the foreground colour, the right one the background colour</translation>
    </message>
    <message>
        <source>Основной и фоновый цвета</source>
        <translation>Foreground and background colours</translation>
    </message>
    <message>
        <source>Фоновый цвет</source>
        <translation>Background colour</translation>
    </message>
    <message>
        <source>Основной цвет</source>
        <translation>Foreground colour</translation>
    </message>
    <message>
        <source>Рабочая область</source>
        <translation>Work area</translation>
    </message>
    <message>
        <source>Рисунок</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>Размер рисунка: правый нижний угол</source>
        <translation>Picture size: bottom right corner</translation>
    </message>
    <message>
        <source>Размер рисунка: правый край</source>
        <translation>Picture size: right edge</translation>
    </message>
    <message>
        <source>Размер рисунка: нижний край</source>
        <translation>Picture size: bottom edge</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: левый верхний угол</source>
        <translation>Size of the selected piece: top left corner</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: верхний край</source>
        <translation>Size of the selected piece: top edge</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: правый верхний угол</source>
        <translation>Size of the selected piece: top right corner</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: правый край</source>
        <translation>Size of the selected piece: right edge</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: правый нижний угол</source>
        <translation>Size of the selected piece: bottom right corner</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: нижний край</source>
        <translation>Size of the selected piece: bottom edge</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: левый нижний угол</source>
        <translation>Size of the selected piece: bottom left corner</translation>
    </message>
    <message>
        <source>Размер выделенного фрагмента: левый край</source>
        <translation>Size of the selected piece: left edge</translation>
    </message>
    <message>
        <source>Выделенный фрагмент</source>
        <translation>Selected piece</translation>
    </message>
    <message>
        <source>Масштаб</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Увеличение рисунка</source>
        <translation>Picture magnification</translation>
    </message>
    <message>
        <source>Вид заливки</source>
        <translation>Fill style</translation>
    </message>
    <message>
        <source>Контур, контур с заливкой или заливка без контура</source>
        <translation>Outline, outline with fill, or fill without outline</translation>
    </message>
    <message>
        <source>Прозрачность</source>
        <translation>Transparency</translation>
    </message>
    <message>
        <source>Непрозрачный или прозрачный фрагмент</source>
        <translation>Opaque or transparent piece</translation>
    </message>
    <message>
        <source>Допуск заливки</source>
        <translation>Fill tolerance</translation>
    </message>
    <message>
        <source>Обзор рисунков</source>
        <translation>Picture browser</translation>
    </message>
    <message>
        <source>Рисунки папки</source>
        <translation>Pictures of the folder</translation>
    </message>
    <message>
        <source>Двойной щелчок открывает рисунок</source>
        <translation>A double click opens the picture</translation>
    </message>
    <message>
        <source>Цвет палитры %1</source>
        <translation>Palette colour %1</translation>
    </message>
    <message>
        <source>Клавиша %1</source>
        <translation>Key %1</translation>
    </message>
    <message>
        <source>Разделитель</source>
        <translation>Splitter</translation>
    </message>
    <message>
        <source>Перетаскивание меняет ширину частей окна</source>
        <translation>Dragging changes the width of the window&apos;s parts</translation>
    </message>
    <message>
        <source>Горизонтальная прокрутка</source>
        <translation>Horizontal scroll bar</translation>
    </message>
    <message>
        <source>Вертикальная прокрутка</source>
        <translation>Vertical scroll bar</translation>
    </message>
    <message>
        <source>Фрейм без названия</source>
        <translation>Untitled frame</translation>
    </message>
    <message>
        <source>Фрейм</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>Фрейм. %1</source>
        <translation>Frame. %1</translation>
    </message>
    <message>
        <source>Текстовое поле</source>
        <translation>Text field</translation>
    </message>
    <message>
        <source>Надпись</source>
        <translation>Caption</translation>
    </message>
    <message>
        <source>Видео фрагмент</source>
        <translation>Video clip</translation>
    </message>
    <message>
        <source>Видео фрагмент, файл не открыт</source>
        <translation>Video clip, no file opened</translation>
    </message>
    <message>
        <source>Видео фрагмент, файл %1</source>
        <translation>Video clip, file %1</translation>
    </message>
    <message>
        <source>Стрелка</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <source>Стрелка от точки %1, %2 к точке %3, %4, толщина %5</source>
        <translation>Arrow from point %1, %2 to point %3, %4, width %5</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>Недостаточно памяти для выполнения команды: файл слишком велик или повреждён.</source>
        <translation>Not enough memory to run the command: the file is too large or damaged.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Использование: velmar [ключи] [FILE]</source>
        <translation>Usage: velmar [options] [FILE]</translation>
    </message>
    <message>
        <source>
Ключи:
</source>
        <translation>
Options:
</translation>
    </message>
    <message>
        <source>
Аргументы:
</source>
        <translation>
Arguments:
</translation>
    </message>
    <message>
        <source>Неизвестный ключ %1.</source>
        <translation>Unknown option %1.</translation>
    </message>
    <message>
        <source>Неизвестные ключи %1.</source>
        <translation>Unknown options %1.</translation>
    </message>
    <message>
        <source> Список ключей: velmar --help</source>
        <translation> List of options: velmar --help</translation>
    </message>
    <message>
        <source>После «%1» не указано значение.</source>
        <translation>No value given after “%1”.</translation>
    </message>
    <message>
        <source>Ключ «%1» не принимает значения.</source>
        <translation>Option “%1” takes no value.</translation>
    </message>
    <message>
        <source>Ошибка в командной строке. Список ключей: velmar --help</source>
        <translation>Error in the command line. List of options: velmar --help</translation>
    </message>
    <message>
        <source>Velmar — редактор логических конспектов.</source>
        <translation>Velmar — an editor of logical outlines.</translation>
    </message>
    <message>
        <source>Показать эту справку и выйти.</source>
        <translation>Show this help and exit.</translation>
    </message>
    <message>
        <source>Показать версию программы и выйти.</source>
        <translation>Show the program&apos;s version and exit.</translation>
    </message>
    <message>
        <source>Вывести логический конспект FILE в виде JSON и выйти (без окна).</source>
        <translation>Print the logical outline FILE as JSON and exit (no window).</translation>
    </message>
    <message>
        <source>Прочитать конспект IN (.vmd или .vmc) и записать его в файл OUT формата .vmd, указанный следом: --convert IN OUT (без окна).</source>
        <translation>Read the outline IN (.vmd or .vmc) and write it to the .vmd file OUT given next: --convert IN OUT (no window).</translation>
    </message>
    <message>
        <source>С --export: нарисовать конспект в F раз крупнее окна (от 0,1 до 8; дробную часть можно отделять запятой или точкой).</source>
        <translation>With --export: draw the outline F times the window&apos;s size (0.1 to 8; the fraction may follow a point or a comma).</translation>
    </message>
    <message>
        <source>Вывести краткое содержание конспекта FILE в UTF-8 и выйти (без окна).</source>
        <translation>Print the summary of the outline FILE in UTF-8 and exit (no window).</translation>
    </message>
    <message>
        <source>С --summary: вид вывода — text (как в окне минимального текста, по умолчанию), markdown или html.</source>
        <translation>With --summary: the output format — text (as the minimal text window shows it, the default), markdown or html.</translation>
    </message>
    <message>
        <source>Нарисовать уменьшенный конспект IN, вписанный в квадрат SIZE × SIZE, и записать его в OUT.png: --thumbnail SIZE IN OUT.png (без окна; для миниатюр в файловых менеджерах).</source>
        <translation>Draw the outline IN reduced to fit a SIZE × SIZE square and write it to OUT.png: --thumbnail SIZE IN OUT.png (no window; for thumbnails in file managers).</translation>
    </message>
    <message>
        <source>Логический конспект (.vmd или .vmc), который открыть при запуске.</source>
        <translation>The logical outline (.vmd or .vmc) to open at start.</translation>
    </message>
    <message>
        <source>--scale F указывается вместе с --export OUT FILE.</source>
        <translation>--scale F goes with --export OUT FILE.</translation>
    </message>
    <message>
        <source>--summary-format указывается вместе с --summary FILE.</source>
        <translation>--summary-format goes with --summary FILE.</translation>
    </message>
    <message>
        <source>Неизвестный вид краткого содержания «%1»: укажите text, markdown или html.</source>
        <translation>Unknown summary format “%1”: give text, markdown or html.</translation>
    </message>
    <message>
        <source>Использование: velmar --summary FILE [--summary-format text|markdown|html]</source>
        <translation>Usage: velmar --summary FILE [--summary-format text|markdown|html]</translation>
    </message>
    <message>
        <source>Размер миниатюры «%1» — не целое число от 1 до 4096.</source>
        <translation>Thumbnail size “%1” is not a whole number from 1 to 4096.</translation>
    </message>
    <message>
        <source>Использование: velmar --thumbnail SIZE IN OUT.png (SIZE от 1 до 4096)</source>
        <translation>Usage: velmar --thumbnail SIZE IN OUT.png (SIZE from 1 to 4096)</translation>
    </message>
    <message>
        <source>Масштаб «%1» — не число: укажите, например, 2 или 1,5.</source>
        <translation>Scale “%1” is not a number: give, for example, 2 or 1.5.</translation>
    </message>
    <message>
        <source>После --info FILE других аргументов не нужно.</source>
        <translation>No other arguments are needed after --info FILE.</translation>
    </message>
    <message>
        <source>Использование: velmar --convert IN OUT.vmd</source>
        <translation>Usage: velmar --convert IN OUT.vmd</translation>
    </message>
    <message>
        <source>Укажите не больше одного файла логического конспекта.</source>
        <translation>Give no more than one logical outline file.</translation>
    </message>
    <message>
        <source>«%1»</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>Нарисовать конспект FILE, указанный следом, и записать рисунок OUT (.png, .jpg, .bmp, .pdf или .svg), веб-страницу (.html) или презентацию, открывающую объекты по щелчку в порядке показа (.pptx, .odp): --export OUT FILE [--scale F] (без окна). Рисуется то же, что сохраняет «Сохранить как рисунок»: холст окна под панелью инструментов, без её полосы; видеофрагмент показан своим первым кадром (файлы AVI, MP4, MOV, MKV и WebM), фильм, который не читается, — пустой панелью.</source>
        <translation>Draw the outline FILE given next and write the picture OUT (.png, .jpg, .bmp, .pdf or .svg), the web page (.html) or a slide deck whose objects appear click by click in the show’s order (.pptx, .odp): --export OUT FILE [--scale F] (no window). What is drawn is what “Save as picture” saves: the window’s canvas below the tool bar, without its band; a video fragment shows its film’s first picture (AVI, MP4, MOV, MKV and WebM files), a film that cannot be read an empty panel.</translation>
    </message>
    <message>
        <source>С --export OUT.pdf: раздаточный материал — шаги показа по N на странице (N = 1, 2, 4 или 6), каждый таким, как его показывает показ, с минимальным текстом под ним, с номерами страниц и названием конспекта.</source>
        <translation>With --export OUT.pdf: handouts — the show&apos;s steps, N to a page (N = 1, 2, 4 or 6), each as the show shows it, with its minimal text below, page numbers and the outline&apos;s name.</translation>
    </message>
    <message>
        <source>С --export OUT.pdf: лист для упражнения — фреймы, заголовки, стрелки и рисунки нарисованы, а на месте каждого текста и минимального текста пустая разлинованная рамка его размера.</source>
        <translation>With --export OUT.pdf: an exercise sheet — frames, titles, arrows and pictures drawn, and an empty ruled box of its size in place of every text and minimal text.</translation>
    </message>
    <message>
        <source>С --export OUT.pdf: плакат на C × R листах A4 (например, 3x2): конспект, увеличенный на несколько листов, с полями для склейки и метками обрезки.</source>
        <translation>With --export OUT.pdf: a poster on C × R A4 sheets (for example 3x2): the outline enlarged over several sheets, with overlap margins and cut marks.</translation>
    </message>
    <message>
        <source>Записать в папку FOLDER по рисунку PNG на каждый шаг показа конспекта FILE, указанного следом: --export-steps FOLDER FILE [--scale F] (без окна). Рисунки называются по файлу конспекта: имя-01.png, имя-02.png…</source>
        <translation>Write one PNG picture per step of the show of the outline FILE given next into the folder FOLDER: --export-steps FOLDER FILE [--scale F] (no window). The pictures are named after the outline&apos;s file: name-01.png, name-02.png…</translation>
    </message>
    <message>
        <source>--handout, --exercise и --poster указываются вместе с --export OUT.pdf FILE.</source>
        <translation>--handout, --exercise and --poster go with --export OUT.pdf FILE.</translation>
    </message>
    <message>
        <source>Укажите что-то одно: --handout, --exercise или --poster.</source>
        <translation>Give only one of --handout, --exercise or --poster.</translation>
    </message>
    <message>
        <source>--scale не указывается вместе с --handout, --exercise и --poster: они заполняют листы.</source>
        <translation>--scale does not go with --handout, --exercise or --poster: they fill their sheets.</translation>
    </message>
    <message>
        <source>Укажите что-то одно: --info, --convert, --export, --export-steps, --summary или --thumbnail.</source>
        <translation>Give only one of --info, --convert, --export, --export-steps, --summary or --thumbnail.</translation>
    </message>
    <message>
        <source>Использование: velmar --export-steps FOLDER FILE [--scale F]</source>
        <translation>Usage: velmar --export-steps FOLDER FILE [--scale F]</translation>
    </message>
    <message>
        <source>Использование: velmar --export OUT FILE [--scale F | --handout N | --exercise | --poster CxR]</source>
        <translation>Usage: velmar --export OUT FILE [--scale F | --handout N | --exercise | --poster CxR]</translation>
    </message>
    <message>
        <source>Шагов на странице «%1»: укажите 1, 2, 4 или 6.</source>
        <translation>Steps per page “%1”: give 1, 2, 4 or 6.</translation>
    </message>
    <message>
        <source>Плакат «%1»: укажите столбцы и ряды листов, например 3x2 (от 1 до 10, всего не меньше двух).</source>
        <translation>Poster “%1”: give the columns and rows of sheets, for example 3x2 (1 to 10 each, at least two sheets in all).</translation>
    </message>
</context>
<context>
    <name>DecodeLimits</name>
    <message>
        <source>рисунки файла слишком велики для его размера</source>
        <translation>the file&apos;s pictures are too large for its size</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Цвет</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>Печать</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Краткое содержание</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>Предварительный просмотр</source>
        <translation>Print preview</translation>
    </message>
    <message>
        <source>Печатать краткое содержание</source>
        <translation>Print the summary</translation>
    </message>
</context>
<context>
    <name>DocumentController</name>
    <message>
        <source>Логический конспект (*.vmd)|*.vmd|Логический конспект старый формат (*.vmc)|*.vmc</source>
        <translation>Logical outline (*.vmd)|*.vmd|Logical outline, old format (*.vmc)|*.vmc</translation>
    </message>
    <message>
        <source>Логический конспект (*.vmd)|*.vmd</source>
        <translation>Logical outline (*.vmd)|*.vmd</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Конспект не сохранен. Сохранить?</source>
        <translation>The outline is not saved. Save it?</translation>
    </message>
    <message>
        <source>Новый конспект</source>
        <translation>New outline</translation>
    </message>
    <message>
        <source>Введите название конспекта</source>
        <translation>Enter the outline&apos;s name</translation>
    </message>
    <message>
        <source>Данный конспект уже существует. Желаете заменить?</source>
        <translation>This outline already exists. Replace it?</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Информация</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Конспект «%1» уже открыт в другой копии Velmar.

Пользователь: %2
Компьютер: %3
Открыт: %4

Если править его в двух местах сразу, изменения одной копии пропадут при сохранении другой. Открыть конспект только для чтения?</source>
        <translation>The outline «%1» is already open in another copy of Velmar.

User: %2
Computer: %3
Opened: %4

If it is edited in two places at once, the changes of one copy are lost when the other one is saved. Open the outline read-only?</translation>
    </message>
    <message>
        <source>Только для чтения</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>Открыть для правки</source>
        <translation>Open for editing</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Файл «%1» изменен на диске после того, как конспект был открыт или сохранен здесь: его, возможно, сохранили в другой копии Velmar. Если заменить файл, те изменения пропадут.</source>
        <translation>The file «%1» has changed on disk since the outline was opened or saved here: it may have been saved in another copy of Velmar. If the file is replaced, those changes are lost.</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Конспект «%1» открыт только для чтения. Сохраните его под другим именем.</source>
        <translation>The outline «%1» is open read-only. Save it under another name.</translation>
    </message>
    <message>
        <source>Конспект «%1» открыт в другой копии Velmar (пользователь: %2, компьютер: %3). Если заменить его, изменения, сделанные там, пропадут.</source>
        <translation>The outline «%1» is open in another copy of Velmar (user: %2, computer: %3). If it is replaced, the changes made there are lost.</translation>
    </message>
    <message>
        <source>Файл «%1» изменен на диске, возможно, в другой копии Velmar. Здесь изменений нет. Загрузить конспект заново?</source>
        <translation>The file «%1» has changed on disk, possibly in another copy of Velmar. Nothing has changed here. Load the outline again?</translation>
    </message>
    <message>
        <source>Загрузить заново</source>
        <translation>Load again</translation>
    </message>
    <message>
        <source>Оставить как есть</source>
        <translation>Keep as it is</translation>
    </message>
    <message>
        <source>%1 уже существует. Заменить его?</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Недостаточно памяти для выполнения команды.</source>
        <translation>Not enough memory to run the command.</translation>
    </message>
    <message>
        <source>Непредвиденная ошибка: </source>
        <translation>Unexpected error: </translation>
    </message>
    <message>
        <source>Непредвиденная ошибка.</source>
        <translation>Unexpected error.</translation>
    </message>
</context>
<context>
    <name>ExportFile</name>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>%1 уже существует. Заменить его?</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
</context>
<context>
    <name>ExtensionBlock</name>
    <message>
        <source>текст не в UTF-8</source>
        <translation>the text is not UTF-8</translation>
    </message>
    <message>
        <source>текст длиннее %1 знаков</source>
        <translation>the text is longer than %1 characters</translation>
    </message>
    <message>
        <source>текст не совпадает с записью в файле</source>
        <translation>the text does not match the record in the file</translation>
    </message>
    <message>
        <source>запись обрывается</source>
        <translation>the record is cut short</translation>
    </message>
    <message>
        <source>поле %1 выходит за конец записи</source>
        <translation>field %1 runs past the end of the record</translation>
    </message>
    <message>
        <source>такого объекта в файле нет</source>
        <translation>the file has no such object</translation>
    </message>
    <message>
        <source>неизвестное поле %1</source>
        <translation>unknown field %1</translation>
    </message>
    <message>
        <source>%1: длина %2 байт вместо 4</source>
        <translation>%1: length %2 bytes instead of 4</translation>
    </message>
    <message>
        <source>%1: значение %2 вне 0…%3</source>
        <translation>%1: value %2 outside 0…%3</translation>
    </message>
    <message>
        <source> и ещё %1</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source>блок дополнений обрывается на заголовке, он пропущен целиком</source>
        <translation>the extension block is cut short in its header; it was skipped whole</translation>
    </message>
    <message>
        <source>блок дополнений версии %1 (программа читает версию %2) пропущен целиком</source>
        <translation>the extension block of version %1 (the program reads version %2) was skipped whole</translation>
    </message>
    <message>
        <source>блок дополнений длиной %1 байт больше допустимых %2, он пропущен целиком</source>
        <translation>the extension block of %1 bytes is larger than the allowed %2; it was skipped whole</translation>
    </message>
    <message>
        <source>блок дополнений обрывается (%1 байт из %2), он пропущен целиком</source>
        <translation>the extension block is cut short (%1 bytes of %2); it was skipped whole</translation>
    </message>
    <message>
        <source>контрольная сумма блока дополнений не сходится, он пропущен целиком</source>
        <translation>the extension block&apos;s checksum does not match; it was skipped whole</translation>
    </message>
    <message>
        <source>обрывок записи в конце блока</source>
        <translation>a piece of a record at the end of the block</translation>
    </message>
    <message>
        <source>запись, выходящая за конец блока, и всё после неё</source>
        <translation>a record running past the end of the block, and everything after it</translation>
    </message>
    <message>
        <source>записи вида %1 сверх первых %2 (больше %2 записей одного вида)</source>
        <translation>records of kind %1 beyond the first %2 (more than %2 records of one kind)</translation>
    </message>
    <message>
        <source>запись вида %1, место %2</source>
        <translation>record of kind %1, slot %2</translation>
    </message>
    <message>
        <source>повторная запись</source>
        <translation>repeated record</translation>
    </message>
    <message>
        <source>название конспекта</source>
        <translation>outline name</translation>
    </message>
    <message>
        <source>запись вида %1</source>
        <translation>record of kind %1</translation>
    </message>
    <message>
        <source>неизвестный вид объекта</source>
        <translation>unknown kind of object</translation>
    </message>
    <message>
        <source>пропущены записи блока дополнений: </source>
        <translation>records of the extension block skipped: </translation>
    </message>
    <message>
        <source>Не всё из дополнений файла «%1» удалось прочитать: %2. Там, где их нет, тексты показаны в кодировке Windows-1251 (недостающие знаки — «?»), оформление — как у новых объектов; остальной конспект загружен.</source>
        <translation>Not all of the extensions of the file “%1” could be read: %2. Where they are missing, texts are shown in the Windows-1251 encoding (missing characters as “?”) and styles are those of new objects; the rest of the outline has been loaded.</translation>
    </message>
    <message>
        <source>привязка конца к объекту не совпадает с записью в файле</source>
        <translation>the attachment of an end to an object does not match the record in the file</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Масштаб %1 не подходит: укажите число от 0.1 до 8.
</source>
        <translation>Scale %1 does not fit: give a number from 0.1 to 8.
</translation>
    </message>
    <message>
        <source>Рисунок «%1» не записан: в конспекте есть повреждённые рисунки.
</source>
        <translation>Picture “%1” not written: the outline has damaged pictures.
</translation>
    </message>
    <message>
        <source>Рисунок %1 × %2 точек слишком велик (больше 100 мегапикселей): уменьшите масштаб.
</source>
        <translation>A picture of %1 × %2 pixels is too large (more than 100 megapixels): lower the scale.
</translation>
    </message>
    <message>
        <source>Не удалось построить миниатюру конспекта «%1».
</source>
        <translation>Could not make a thumbnail of the outline “%1”.
</translation>
    </message>
    <message>
        <source>Не удалось записать миниатюру в файл «%1»: %2.
</source>
        <translation>Could not write the thumbnail to the file “%1”: %2.
</translation>
    </message>
    <message>
        <source>Не удалось вывести результат: ошибка записи в стандартный вывод.
</source>
        <translation>Could not print the result: error writing to standard output.
</translation>
    </message>
    <message>
        <source>Миниатюра конспекта не построена за отведённые %1 с: файл слишком долго читается.</source>
        <translation>The outline&apos;s thumbnail was not made within the allowed %1 s: the file takes too long to read.</translation>
    </message>
    <message>
        <source>Фильм %1; нарисована пустая панель.
</source>
        <translation>Film %1; an empty panel is drawn.
</translation>
    </message>
    <message>
        <source>Рисунок «%1»: укажите расширение .png, .jpg, .bmp, .pdf, .svg, .html, .pptx или .odp.
</source>
        <translation>Picture “%1”: give the extension .png, .jpg, .bmp, .pdf, .svg, .html, .pptx or .odp.
</translation>
    </message>
    <message>
        <source>«%1»: раздаточный материал, лист для упражнения и плакат пишутся в PDF: укажите расширение .pdf.
</source>
        <translation>“%1”: handouts, exercise sheets and posters are written as PDF: give the extension .pdf.
</translation>
    </message>
    <message>
        <source>Рисунки шагов не записаны: в конспекте есть повреждённые рисунки.
</source>
        <translation>The step pictures were not written: the outline has damaged pictures.
</translation>
    </message>
</context>
<context>
    <name>FileIo</name>
    <message>
        <source>файл слишком велик (больше %1 байт)</source>
        <translation>the file is too large (more than %1 bytes)</translation>
    </message>
    <message>
        <source>файл не найден</source>
        <translation>file not found</translation>
    </message>
    <message>
        <source>Недостаточно места на диске</source>
        <translation>Not enough space on the disk</translation>
    </message>
    <message>
        <source>Нет прав на запись</source>
        <translation>No permission to write</translation>
    </message>
    <message>
        <source>Диск доступен только для чтения</source>
        <translation>The disk is read-only</translation>
    </message>
    <message>
        <source>Папка не найдена</source>
        <translation>Folder not found</translation>
    </message>
    <message>
        <source>Путь проходит через файл, а не через папку</source>
        <translation>The path goes through a file, not a folder</translation>
    </message>
    <message>
        <source>Это папка</source>
        <translation>It is a folder</translation>
    </message>
    <message>
        <source>Файл слишком велик</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>Ошибка ввода-вывода</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>Слишком длинное имя файла</source>
        <translation>The file name is too long</translation>
    </message>
    <message>
        <source>Системная ошибка %1 (%2)</source>
        <translation>System error %1 (%2)</translation>
    </message>
    <message>
        <source>файл не открывается для чтения (%1)</source>
        <translation>the file cannot be opened for reading (%1)</translation>
    </message>
    <message>
        <source>это папка</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>это не обычный файл (устройство, канал или сокет)</source>
        <translation>it is not a regular file (a device, pipe or socket)</translation>
    </message>
    <message>
        <source>ошибка чтения (%1)</source>
        <translation>read error (%1)</translation>
    </message>
    <message>
        <source>это ссылка</source>
        <translation>it is a link</translation>
    </message>
</context>
<context>
    <name>FilmCommands</name>
    <message>
        <source>Не удалось открыть видеофайл «%1»: %2.</source>
        <translation>Could not open the video file “%1”: %2.</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Не удалось открыть видеофайлы:</source>
        <translation>Could not open the video files:</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Видео фрагмент (*.avi *.mp4 *.m4v *.mov *.mkv *.webm)|*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm</source>
        <translation>Video fragment (*.avi *.mp4 *.m4v *.mov *.mkv *.webm)|*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm</translation>
    </message>
</context>
<context>
    <name>FilmPlayer</name>
    <message>
        <source>модуль воспроизведения видео не найден</source>
        <translation>the video playback module was not found</translation>
    </message>
    <message>
        <source>модуль воспроизведения видео не загружается: </source>
        <translation>the video playback module does not load: </translation>
    </message>
    <message>
        <source>мультимедийная система не умеет воспроизводить фильмы этого формата (нет нужного модуля)</source>
        <translation>the multimedia system cannot play films of this format (a plug-in is missing)</translation>
    </message>
    <message>
        <source>нет доступа к файлу фильма</source>
        <translation>the film file cannot be accessed</translation>
    </message>
    <message>
        <source>файл фильма недоступен по сети</source>
        <translation>the film file is not reachable over the network</translation>
    </message>
    <message>
        <source>мультимедийная система не смогла прочитать или воспроизвести фильм</source>
        <translation>the multimedia system could not read or play the film</translation>
    </message>
    <message>
        <source>мультимедийная система не смогла воспроизвести фильм</source>
        <translation>the multimedia system could not play the film</translation>
    </message>
</context>
<context>
    <name>FilmStill</name>
    <message>
        <source>модуль чтения фильмов не найден</source>
        <translation>the film reading module was not found</translation>
    </message>
    <message>
        <source>модуль чтения фильмов не загружается: %1</source>
        <translation>the film reading module cannot be loaded: %1</translation>
    </message>
    <message>
        <source>формат файла не распознан: это не фильм или фильм повреждён</source>
        <translation>the file format is not recognised: it is no film, or a damaged one</translation>
    </message>
    <message>
        <source>в файле нет видео</source>
        <translation>the file holds no video</translation>
    </message>
    <message>
        <source>видео сжато способом, который программа не читает</source>
        <translation>the video is compressed in a way the program does not read</translation>
    </message>
    <message>
        <source>кадр фильма слишком велик</source>
        <translation>the film’s frame is too large</translation>
    </message>
    <message>
        <source>кадр %1 × %2 точек: фильмы и рисунки конспекта вместе слишком велики для его размера</source>
        <translation>frame of %1 × %2 pixels: the outline’s films and pictures together are too large for its size</translation>
    </message>
    <message>
        <source>кадр %1 × %2 точек слишком велик</source>
        <translation>the frame of %1 × %2 pixels is too large</translation>
    </message>
    <message>
        <source>первый кадр не прочитан за отведённое время</source>
        <translation>the first picture was not read in the time allowed</translation>
    </message>
    <message>
        <source>первый кадр не найден в той части файла, которую фильму позволено прочитать</source>
        <translation>no first picture in the part of the file a film may read</translation>
    </message>
    <message>
        <source>файл фильма повреждён</source>
        <translation>the film file is damaged</translation>
    </message>
    <message>
        <source>время, отведённое на чтение фильмов конспекта, истекло</source>
        <translation>the time allowed for reading the outline’s films has run out</translation>
    </message>
</context>
<context>
    <name>FilmWindow</name>
    <message>
        <source>Видео</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Воспроизвести</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>название</source>
        <translation>title</translation>
    </message>
    <message>
        <source>текст</source>
        <translation>text</translation>
    </message>
    <message>
        <source>минимальный текст</source>
        <translation>minimal text</translation>
    </message>
    <message>
        <source>имя файла фильма</source>
        <translation>film file name</translation>
    </message>
    <message>
        <source>Поиск</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>Найти:</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>Что найти</source>
        <translation>What to find</translation>
    </message>
    <message>
        <source>Назад</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Далее</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Заменить на:</source>
        <translation>Replace with:</translation>
    </message>
    <message>
        <source>Чем заменить</source>
        <translation>What to replace with</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Заменить все</source>
        <translation>Replace all</translation>
    </message>
    <message>
        <source>%1 из %2: %3</source>
        <translation>%1 of %2: %3</translation>
    </message>
    <message>
        <source>Не найдено</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>Заменено: %1</source>
        <translation>Replaced: %1</translation>
    </message>
</context>
<context>
    <name>FontDialog</name>
    <message>
        <source>Чёрный</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Бордовый</source>
        <translation>Maroon</translation>
    </message>
    <message>
        <source>Зелёный</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Оливковый</source>
        <translation>Olive</translation>
    </message>
    <message>
        <source>Тёмно-синий</source>
        <translation>Navy</translation>
    </message>
    <message>
        <source>Фиолетовый</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>Сине-зелёный</source>
        <translation>Teal</translation>
    </message>
    <message>
        <source>Серый</source>
        <translation>Grey</translation>
    </message>
    <message>
        <source>Серебристый</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>Красный</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Лайм</source>
        <translation>Lime</translation>
    </message>
    <message>
        <source>Жёлтый</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Синий</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Фуксия</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>Голубой</source>
        <translation>Aqua</translation>
    </message>
    <message>
        <source>Белый</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Другой…</source>
        <translation>Other…</translation>
    </message>
    <message>
        <source>Свой цвет</source>
        <translation>Custom colour</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>&amp;Цвет:</source>
        <translation>&amp;Colour:</translation>
    </message>
    <message>
        <source>Цвет</source>
        <translation>Colour</translation>
    </message>
</context>
<context>
    <name>FrameTitles</name>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Введите название фрейма</source>
        <translation>Enter the frame&apos;s title</translation>
    </message>
</context>
<context>
    <name>Grid</name>
    <message>
        <source>Увеличить сетку %1+1</source>
        <translation>Larger grid %1+1</translation>
    </message>
    <message>
        <source>Уменьшить сетку %1-1</source>
        <translation>Smaller grid %1-1</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <source>Не удалось подготовить страницу справки в папке «%1».</source>
        <translation>Could not prepare the help page in the folder “%1”.</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>Не удалось открыть снимок «%1»: %2.</source>
        <translation>Could not open the snapshot “%1”: %2.</translation>
    </message>
    <message>
        <source>Снимок «%1» не найден: состояние этого шага восстановить нельзя.</source>
        <translation>Snapshot “%1” not found: the state of this step cannot be restored.</translation>
    </message>
    <message>
        <source>Файл, открытый в начале истории, изменён другой программой: снимок «%1» больше не хранит этот шаг, восстановить его нельзя.</source>
        <translation>The file opened at the start of the history was changed by another program: snapshot “%1” no longer holds this step, and it cannot be restored.</translation>
    </message>
    <message>
        <source>Снимок «%1» не подходит к снимку «%2» (%3): шаг восстановить нельзя.</source>
        <translation>Snapshot “%1” does not fit snapshot “%2” (%3): the step cannot be restored.</translation>
    </message>
    <message>
        <source>Снимок «%1» не подходит к объектам конспекта (%2): шаг восстановить нельзя.</source>
        <translation>Snapshot “%1” does not fit the outline&apos;s objects (%2): the step cannot be restored.</translation>
    </message>
    <message>
        <source>Отменять нечего: это первый шаг истории.</source>
        <translation>Nothing to undo: this is the first step of the history.</translation>
    </message>
    <message>
        <source>Повторять нечего: это последний шаг истории.</source>
        <translation>Nothing to redo: this is the last step of the history.</translation>
    </message>
    <message>
        <source>Не удалось создать папку истории «%1»: %2.</source>
        <translation>Could not create the history folder “%1”: %2.</translation>
    </message>
</context>
<context>
    <name>JpegCodec</name>
    <message>
        <source>недопустимый размер рисунка JPEG</source>
        <translation>invalid JPEG picture size</translation>
    </message>
    <message>
        <source>данные JPEG обрываются</source>
        <translation>the JPEG data is cut short</translation>
    </message>
    <message>
        <source>нет данных рисунка</source>
        <translation>no picture data</translation>
    </message>
    <message>
        <source>слишком много проходов JPEG (больше %1)</source>
        <translation>too many JPEG scans (more than %1)</translation>
    </message>
    <message>
        <source>повреждённые данные JPEG (повторённые проходы)</source>
        <translation>damaged JPEG data (repeated scans)</translation>
    </message>
    <message>
        <source>слишком много проходов JPEG для размера данных</source>
        <translation>too many JPEG scans for the size of the data</translation>
    </message>
    <message>
        <source>рисунок слишком велик</source>
        <translation>the picture is too large</translation>
    </message>
</context>
<context>
    <name>JpegMessages</name>
    <message>
        <source>это не рисунок JPEG</source>
        <translation>it is not a JPEG picture</translation>
    </message>
    <message>
        <source>данные JPEG обрываются</source>
        <translation>the JPEG data is cut short</translation>
    </message>
    <message>
        <source>этот вид рисунка JPEG не поддерживается (например, 12-битный или без потерь)</source>
        <translation>this kind of JPEG picture is not supported (for example 12-bit or lossless)</translation>
    </message>
    <message>
        <source>рисунок JPEG слишком велик</source>
        <translation>the JPEG picture is too large</translation>
    </message>
    <message>
        <source>в данных JPEG нет рисунка</source>
        <translation>the JPEG data holds no picture</translation>
    </message>
    <message>
        <source>повреждённые данные JPEG (код ошибки декодера %1)</source>
        <translation>damaged JPEG data (decoder error code %1)</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>Язык интерфейса</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>As in the system</translation>
    </message>
    <message>
        <source>Не удалось сохранить выбор языка в файле настроек «%1».</source>
        <translation>Could not save the language choice in the settings file “%1”.</translation>
    </message>
    <message>
        <source>Язык интерфейса сменится при следующем запуске программы.</source>
        <translation>The interface language will change the next time the program starts.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Найдены временные файлы логического конспекта. Попробовать открыть файл?</source>
        <translation>Temporary files of a logical outline were found. Try to open the file?</translation>
    </message>
    <message>
        <source>Файл логического конспекта «%1» не открыт: %2.</source>
        <translation>The logical outline file “%1” was not opened: %2.</translation>
    </message>
    <message>
        <source>это папка</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>его не удалось прочитать</source>
        <translation>it could not be read</translation>
    </message>
    <message>
        <source>такого файла нет</source>
        <translation>there is no such file</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Новый</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Сохранить как рисунок</source>
        <translation>Save as picture</translation>
    </message>
    <message>
        <source>Сохранить как веб-страницу...</source>
        <translation>Save as web page...</translation>
    </message>
    <message>
        <source>Печать...</source>
        <translation>Print...</translation>
    </message>
    <message>
        <source>Предварительный просмотр</source>
        <translation>Print preview</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Отменить действие</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Повторить действие</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Сервис</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Минимальный текст</source>
        <translation>Minimal text</translation>
    </message>
    <message>
        <source>Последовательность фреймов</source>
        <translation>Frame sequence</translation>
    </message>
    <message>
        <source>Последовательность объектов</source>
        <translation>Object sequence</translation>
    </message>
    <message>
        <source>Переместить вперед</source>
        <translation>Move forward</translation>
    </message>
    <message>
        <source>Переместить назад</source>
        <translation>Move back</translation>
    </message>
    <message>
        <source>Показ конспекта</source>
        <translation>Show the outline</translation>
    </message>
    <message>
        <source>Показ с выбранного фрейма</source>
        <translation>Show from the selected frame</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Цвет фона</source>
        <translation>Background colour</translation>
    </message>
    <message>
        <source>Сброс цвета</source>
        <translation>Reset colour</translation>
    </message>
    <message>
        <source>Перемещение</source>
        <translation>Moving</translation>
    </message>
    <message>
        <source>Название фрейма</source>
        <translation>Frame title</translation>
    </message>
    <message>
        <source>Масштабирование рисунка</source>
        <translation>Picture scaling</translation>
    </message>
    <message>
        <source>Масштабирование конспекта</source>
        <translation>Outline scaling</translation>
    </message>
    <message>
        <source>Привязка к сетке</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>Привязать к сетке</source>
        <translation>Snap to grid</translation>
    </message>
    <message>
        <source>Увеличить сетку  2+1</source>
        <translation>Larger grid  2+1</translation>
    </message>
    <message>
        <source>Уменьшить сетку 2-1</source>
        <translation>Smaller grid 2-1</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help contents</translation>
    </message>
    <message>
        <source>Web помощь</source>
        <translation>Web help</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Создать новый логический конспект (по умолчанию)</source>
        <translation>Create a new logical outline (default)</translation>
    </message>
    <message>
        <source>Сохранить как рисунок...</source>
        <translation>Save as picture...</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Вернуть</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Редактирование</source>
        <translation>Editing</translation>
    </message>
    <message>
        <source>Масштабирование логического конспекта</source>
        <translation>Logical outline scaling</translation>
    </message>
    <message>
        <source>Отображать названия фреймов</source>
        <translation>Show frame titles</translation>
    </message>
    <message>
        <source>Создать фрейм</source>
        <translation>Create frame</translation>
    </message>
    <message>
        <source>Создать рисунок</source>
        <translation>Create picture</translation>
    </message>
    <message>
        <source>Создать надпись</source>
        <translation>Create caption</translation>
    </message>
    <message>
        <source>Создать стрелку</source>
        <translation>Create arrow</translation>
    </message>
    <message>
        <source>Создать видео фрагмент</source>
        <translation>Create video clip</translation>
    </message>
    <message>
        <source>Создать текстовое поле</source>
        <translation>Create text field</translation>
    </message>
    <message>
        <source>Переименовать фрейм</source>
        <translation>Rename frame</translation>
    </message>
    <message>
        <source>Цвет фрейма</source>
        <translation>Frame colour</translation>
    </message>
    <message>
        <source>Цвет надписи</source>
        <translation>Caption colour</translation>
    </message>
    <message>
        <source>Внутренний бордюр</source>
        <translation>Inner border</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Вдавлен</source>
        <translation>Sunken</translation>
    </message>
    <message>
        <source>Выпуклый</source>
        <translation>Raised</translation>
    </message>
    <message>
        <source>Средний бордюр</source>
        <translation>Middle border</translation>
    </message>
    <message>
        <source>Есть</source>
        <translation>Present</translation>
    </message>
    <message>
        <source>Внешний бордюр</source>
        <translation>Outer border</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Редактировать</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Открыть рисунок</source>
        <translation>Open picture</translation>
    </message>
    <message>
        <source>Изменить последовательность</source>
        <translation>Change sequence</translation>
    </message>
    <message>
        <source>Вперед</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Назад</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Во весь экран</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>Бордюр</source>
        <translation>Border</translation>
    </message>
    <message>
        <source>Масштабирование</source>
        <translation>Scaling</translation>
    </message>
    <message>
        <source>Открыть файл</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Кнопки плеера</source>
        <translation>Player buttons</translation>
    </message>
    <message>
        <source>Воспроизвести</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Изменить текст</source>
        <translation>Change text</translation>
    </message>
    <message>
        <source>Изменить цвет</source>
        <translation>Change colour</translation>
    </message>
    <message>
        <source>Увеличить толщину</source>
        <translation>Thicker</translation>
    </message>
    <message>
        <source>Уменьшить толщину</source>
        <translation>Thinner</translation>
    </message>
    <message>
        <source>Выравнивание текста</source>
        <translation>Text alignment</translation>
    </message>
    <message>
        <source>По левому краю</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>По центру</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>По правому краю</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Выровнять рамку</source>
        <translation>Fit the box</translation>
    </message>
    <message>
        <source>Рисунок «%1» слишком велик (%2 × %3 точек): конспект принимает рисунки до %4 миллионов точек.</source>
        <translation>Picture “%1” is too large (%2 × %3 pixels): an outline takes pictures of up to %4 million pixels.</translation>
    </message>
    <message>
        <source>Не удалось прочитать рисунок «%1»: файл повреждён или это не рисунок.</source>
        <translation>Could not read the picture “%1”: the file is damaged or not a picture.</translation>
    </message>
    <message>
        <source>Рисунок слишком велик (%1 × %2 точек): конспект принимает рисунки до %3 миллионов точек.</source>
        <translation>The picture is too large (%1 × %2 pixels): an outline takes pictures of up to %3 million pixels.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл «%1»: это не обычный файл.</source>
        <translation>Could not open the file “%1”: it is not a regular file.</translation>
    </message>
    <message>
        <source>Сохранить как веб-страницу</source>
        <translation>Save as web page</translation>
    </message>
    <message>
        <source>Веб-страница (*.html)|*.html</source>
        <translation>Web page (*.html)|*.html</translation>
    </message>
    <message>
        <source>Логический конспект (%1)</source>
        <translation>Logical outline (%1)</translation>
    </message>
    <message>
        <source>Рисунок в буфере обмена не удалось прочитать: данные повреждены.</source>
        <translation>The picture on the clipboard could not be read: the data are damaged.</translation>
    </message>
    <message>
        <source>Логический конспект (%1) — только для чтения</source>
        <translation>Logical outline (%1) — read-only</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Прозрачные места рисунка залиты белым: конспект хранит рисунки без прозрачности.</source>
        <translation>The transparent parts of the picture were filled with white: an outline keeps pictures without transparency.</translation>
    </message>
    <message>
        <source>Прозрачные места рисунка «%1» залиты белым: конспект хранит рисунки без прозрачности.</source>
        <translation>The transparent parts of the picture “%1” were filled with white: an outline keeps pictures without transparency.</translation>
    </message>
    <message>
        <source>Перенесенный рисунок не удалось прочитать: данные повреждены.</source>
        <translation>The dropped picture could not be read: the data is damaged.</translation>
    </message>
    <message>
        <source>Создать...</source>
        <translation>Create...</translation>
    </message>
    <message>
        <source>Сохранить как шаблон...</source>
        <translation>Save as template...</translation>
    </message>
    <message>
        <source>Сохранить как презентацию...</source>
        <translation>Save as slide deck...</translation>
    </message>
    <message>
        <source>Сохранить как презентацию</source>
        <translation>Save as slide deck</translation>
    </message>
    <message>
        <source>Презентация PowerPoint (*.pptx)|*.pptx|Презентация OpenDocument (*.odp)|*.odp</source>
        <translation>PowerPoint presentation (*.pptx)|*.pptx|OpenDocument presentation (*.odp)|*.odp</translation>
    </message>
    <message>
        <source>Найти...</source>
        <translation>Find...</translation>
    </message>
    <message>
        <source>Найти далее</source>
        <translation>Find next</translation>
    </message>
    <message>
        <source>Найти ранее</source>
        <translation>Find previous</translation>
    </message>
    <message>
        <source>Заменить...</source>
        <translation>Replace...</translation>
    </message>
    <message>
        <source>Объекты в буфере обмена не удалось прочитать.
%1</source>
        <translation>The objects on the clipboard could not be read.
%1</translation>
    </message>
    <message>
        <source>Вырезать</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Дублировать</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <source>Выделить все</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Выровнять объекты</source>
        <translation>Align objects</translation>
    </message>
    <message>
        <source>По верхнему краю</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>По середине</source>
        <translation>Middle</translation>
    </message>
    <message>
        <source>По нижнему краю</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>Распределить по горизонтали</source>
        <translation>Distribute horizontally</translation>
    </message>
    <message>
        <source>Распределить по вертикали</source>
        <translation>Distribute vertically</translation>
    </message>
</context>
<context>
    <name>MinimalText</name>
    <message>
        <source>Текстовый файл|*.txt</source>
        <translation>Text file|*.txt</translation>
    </message>
    <message>
        <source>Редактирование минимального текста объекта</source>
        <translation>Editing the object&apos;s minimal text</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Минимальный текст логического конспекта</source>
        <translation>Minimal text of the logical outline</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Формат</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Перенос по словам</source>
        <translation>Word wrap</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Не удалось записать файл «%1»: %2.</source>
        <translation>Could not write the file “%1”: %2.</translation>
    </message>
</context>
<context>
    <name>NewOutline</name>
    <message>
        <source>Наблюдения</source>
        <translation>Observations</translation>
    </message>
    <message>
        <source>Опыты</source>
        <translation>Experiments</translation>
    </message>
    <message>
        <source>Величины</source>
        <translation>Quantities</translation>
    </message>
    <message>
        <source>Связи величин</source>
        <translation>Relations of quantities</translation>
    </message>
    <message>
        <source>Связи</source>
        <translation>Relations</translation>
    </message>
    <message>
        <source>Факты</source>
        <translation>Facts</translation>
    </message>
    <message>
        <source>Модель-гипотеза</source>
        <translation>Model and hypothesis</translation>
    </message>
    <message>
        <source>Следствия</source>
        <translation>Consequences</translation>
    </message>
    <message>
        <source>Эксперимент</source>
        <translation>Experiment</translation>
    </message>
    <message>
        <source>Приборы</source>
        <translation>Instruments</translation>
    </message>
    <message>
        <source>Технологические процессы</source>
        <translation>Technological processes</translation>
    </message>
    <message>
        <source>Новый</source>
        <translation>New</translation>
    </message>
</context>
<context>
    <name>ObjectClipboard</name>
    <message>
        <source>буфер обмена</source>
        <translation>clipboard</translation>
    </message>
</context>
<context>
    <name>ObjectCommands</name>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Внимание</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Введите текст</source>
        <translation>Enter the text</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить фрейм?</source>
        <translation>Do you really want to delete the frame?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить рисунок?</source>
        <translation>Do you really want to delete the picture?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить надпись?</source>
        <translation>Do you really want to delete the caption?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить текстовое поле?</source>
        <translation>Do you really want to delete the text field?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить видео фрагмент?</source>
        <translation>Do you really want to delete the video clip?</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить стрелку?</source>
        <translation>Do you really want to delete the arrow?</translation>
    </message>
    <message>
        <source>Открыть рисунок</source>
        <translation>Open picture</translation>
    </message>
    <message>
        <source>Не удалось открыть файл «%1»: %2.</source>
        <translation>Could not open the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Не удалось прочитать рисунок JPEG из файла «%1»: %2.</source>
        <translation>Could not read a JPEG picture from the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Фрейм%1</source>
        <translation>Frame%1</translation>
    </message>
    <message>
        <source>Текст%1</source>
        <translation>Text%1</translation>
    </message>
    <message>
        <source>Все рисунки|*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.webp|Рисунки JPEG|*.jpg;*.jpeg|Рисунки PNG|*.png|Рисунки BMP|*.bmp|Рисунки GIF|*.gif|Рисунки WebP|*.webp</source>
        <translation>All pictures|*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.webp|JPEG pictures|*.jpg;*.jpeg|PNG pictures|*.png|BMP pictures|*.bmp|GIF pictures|*.gif|WebP pictures|*.webp</translation>
    </message>
    <message>
        <source>Вы действительно хотите удалить выбранные объекты (%1)?</source>
        <translation>Do you really want to delete the chosen objects (%1)?</translation>
    </message>
</context>
<context>
    <name>ObjectFields</name>
    <message>
        <source>место в последовательности</source>
        <translation>place in the sequence</translation>
    </message>
    <message>
        <source>номер фрейма</source>
        <translation>frame number</translation>
    </message>
    <message>
        <source>левый край</source>
        <translation>left edge</translation>
    </message>
    <message>
        <source>верхний край</source>
        <translation>top edge</translation>
    </message>
    <message>
        <source>ширина</source>
        <translation>width</translation>
    </message>
    <message>
        <source>высота</source>
        <translation>height</translation>
    </message>
    <message>
        <source>минимальный текст</source>
        <translation>minimal text</translation>
    </message>
    <message>
        <source>фреймы</source>
        <translation>frames</translation>
    </message>
    <message>
        <source>фреймов</source>
        <translation>frames</translation>
    </message>
    <message>
        <source>фрейм</source>
        <translation>frame</translation>
    </message>
    <message>
        <source>цвет</source>
        <translation>colour</translation>
    </message>
    <message>
        <source>внутренний скос</source>
        <translation>inner bevel</translation>
    </message>
    <message>
        <source>внешний скос</source>
        <translation>outer bevel</translation>
    </message>
    <message>
        <source>рамка</source>
        <translation>border</translation>
    </message>
    <message>
        <source>название</source>
        <translation>title</translation>
    </message>
    <message>
        <source>видимость названия</source>
        <translation>title visibility</translation>
    </message>
    <message>
        <source>цвет названия</source>
        <translation>title colour</translation>
    </message>
    <message>
        <source>текстовые поля</source>
        <translation>text fields</translation>
    </message>
    <message>
        <source>текстовых полей</source>
        <translation>text fields</translation>
    </message>
    <message>
        <source>текстовое поле</source>
        <translation>text field</translation>
    </message>
    <message>
        <source>текст</source>
        <translation>text</translation>
    </message>
    <message>
        <source>цвет фона</source>
        <translation>background colour</translation>
    </message>
    <message>
        <source>выравнивание</source>
        <translation>alignment</translation>
    </message>
    <message>
        <source>шрифт</source>
        <translation>font</translation>
    </message>
    <message>
        <source>размер шрифта</source>
        <translation>font size</translation>
    </message>
    <message>
        <source>цвет шрифта</source>
        <translation>font colour</translation>
    </message>
    <message>
        <source>шаг шрифта</source>
        <translation>font pitch</translation>
    </message>
    <message>
        <source>начертание шрифта</source>
        <translation>font style</translation>
    </message>
    <message>
        <source>только чтение</source>
        <translation>read-only</translation>
    </message>
    <message>
        <source>видео фрагменты</source>
        <translation>video clips</translation>
    </message>
    <message>
        <source>видео фрагментов</source>
        <translation>video clips</translation>
    </message>
    <message>
        <source>видео фрагмент</source>
        <translation>video clip</translation>
    </message>
    <message>
        <source>имя файла</source>
        <translation>file name</translation>
    </message>
    <message>
        <source>панель проигрывателя</source>
        <translation>player panel</translation>
    </message>
    <message>
        <source>рисунки</source>
        <translation>pictures</translation>
    </message>
    <message>
        <source>рисунков</source>
        <translation>pictures</translation>
    </message>
    <message>
        <source>рисунок</source>
        <translation>picture</translation>
    </message>
    <message>
        <source>длина данных рисунка</source>
        <translation>picture data length</translation>
    </message>
    <message>
        <source>растягивание</source>
        <translation>stretching</translation>
    </message>
    <message>
        <source>стрелки</source>
        <translation>arrows</translation>
    </message>
    <message>
        <source>стрелок</source>
        <translation>arrows</translation>
    </message>
    <message>
        <source>стрелка</source>
        <translation>arrow</translation>
    </message>
    <message>
        <source>x начала</source>
        <translation>start x</translation>
    </message>
    <message>
        <source>x конца</source>
        <translation>end x</translation>
    </message>
    <message>
        <source>y начала</source>
        <translation>start y</translation>
    </message>
    <message>
        <source>y конца</source>
        <translation>end y</translation>
    </message>
    <message>
        <source>толщина</source>
        <translation>width</translation>
    </message>
    <message>
        <source>название конспекта</source>
        <translation>outline name</translation>
    </message>
    <message>
        <source>ширина окна</source>
        <translation>window width</translation>
    </message>
    <message>
        <source>высота окна</source>
        <translation>window height</translation>
    </message>
    <message>
        <source>объект начала</source>
        <translation>start&apos;s object</translation>
    </message>
    <message>
        <source>место начала на объекте</source>
        <translation>start&apos;s place on the object</translation>
    </message>
    <message>
        <source>объект конца</source>
        <translation>end&apos;s object</translation>
    </message>
    <message>
        <source>место конца на объекте</source>
        <translation>end&apos;s place on the object</translation>
    </message>
</context>
<context>
    <name>OldOutlineFile</name>
    <message>
        <source>
<byte value="xd"/>Версия программы &quot;4.1&quot;
<byte value="xd"/></source>
        <translation>
<byte value="xd"/>Program version &quot;4.1&quot;
<byte value="xd"/></translation>
    </message>
    <message>
        <source>Файл %1 повреждён: он обрывается перед строкой %2, в которой должно быть %3.</source>
        <translation>The file %1 is damaged: it ends before line %2, which should hold %3.</translation>
    </message>
    <message>
        <source>Файл %1 повреждён: в строке %2 должно быть число (%3), а записано «%4».
Invalid numeric input</source>
        <translation>The file %1 is damaged: line %2 should hold a number (%3), but holds “%4”.
Invalid numeric input</translation>
    </message>
    <message>
        <source>Файл %1 повреждён: в строке %2 %3 равно %4, а допустимо от %5 до %6.</source>
        <translation>The file %1 is damaged: in line %2, %3 is %4, where %5 to %6 is allowed.</translation>
    </message>
    <message>
        <source>нет длины рисунка</source>
        <translation>no picture length</translation>
    </message>
    <message>
        <source>Файл рисунков %1 повреждён: у рисунка %2 длина записана с неизвестным типом %3 (допустимы 2, 3 и 4).
Invalid property value</source>
        <translation>The picture file %1 is damaged: the length of picture %2 is written with an unknown type %3 (2, 3 and 4 are allowed).
Invalid property value</translation>
    </message>
    <message>
        <source>длина рисунка записана не полностью</source>
        <translation>the picture length is not written whole</translation>
    </message>
    <message>
        <source>Файл рисунков %1 повреждён: у рисунка %2 неверная длина %3.</source>
        <translation>The picture file %1 is damaged: picture %2 has a wrong length %3.</translation>
    </message>
    <message>
        <source>записано %1 байт из %2</source>
        <translation>%1 bytes of %2 written</translation>
    </message>
    <message>
        <source>Файл рисунков %1 не прочитан: рисунок %2 не открыт (%3).</source>
        <translation>The picture file %1 was not read: picture %2 could not be opened (%3).</translation>
    </message>
    <message>
        <source>повреждённые данные BMP</source>
        <translation>damaged BMP data</translation>
    </message>
    <message>
        <source>недопустимый размер рисунка BMP</source>
        <translation>invalid BMP picture size</translation>
    </message>
    <message>
        <source>Файл рисунков %1 повреждён: рисунок %2 не удаётся прочитать (%3).</source>
        <translation>The picture file %1 is damaged: picture %2 cannot be read (%3).</translation>
    </message>
    <message>
        <source>Файл рисунков %1 повреждён: он обрывается на рисунке %2 из %3 (%4).</source>
        <translation>The picture file %1 is damaged: it ends at picture %2 of %3 (%4).</translation>
    </message>
    <message>
        <source>версия файла</source>
        <translation>file version</translation>
    </message>
    <message>
        <source>название конспекта</source>
        <translation>outline name</translation>
    </message>
    <message>
        <source>цвет фона</source>
        <translation>background colour</translation>
    </message>
    <message>
        <source>ширина окна</source>
        <translation>window width</translation>
    </message>
    <message>
        <source>высота окна</source>
        <translation>window height</translation>
    </message>
    <message>
        <source>: левый край</source>
        <translation>: left edge</translation>
    </message>
    <message>
        <source>: верхний край</source>
        <translation>: top edge</translation>
    </message>
    <message>
        <source>: ширина</source>
        <translation>: width</translation>
    </message>
    <message>
        <source>: высота</source>
        <translation>: height</translation>
    </message>
    <message>
        <source>: номер фрейма-владельца</source>
        <translation>: number of the owning frame</translation>
    </message>
    <message>
        <source>Файл %1 повреждён: в строке %2 (%3) указан фрейм %4, а фреймов в файле %5.</source>
        <translation>The file %1 is damaged: line %2 (%3) names frame %4, but the file has %5 frames.</translation>
    </message>
    <message>
        <source>: минимальный текст</source>
        <translation>: minimal text</translation>
    </message>
    <message>
        <source>: место в последовательности </source>
        <translation>: place in the sequence </translation>
    </message>
    <message>
        <source>Не удалось создать %1 при чтении файла %2.</source>
        <translation>Could not create %1 while reading the file %2.</translation>
    </message>
    <message>
        <source>заголовок раздела фреймов</source>
        <translation>heading of the frames section</translation>
    </message>
    <message>
        <source>число фреймов</source>
        <translation>number of frames</translation>
    </message>
    <message>
        <source>фрейм %1</source>
        <translation>frame %1</translation>
    </message>
    <message>
        <source>: цвет</source>
        <translation>: colour</translation>
    </message>
    <message>
        <source>: внутренний скос</source>
        <translation>: inner bevel</translation>
    </message>
    <message>
        <source>: внешний скос</source>
        <translation>: outer bevel</translation>
    </message>
    <message>
        <source>: рамка</source>
        <translation>: border</translation>
    </message>
    <message>
        <source>: название</source>
        <translation>: title</translation>
    </message>
    <message>
        <source>: видимость названия</source>
        <translation>: title visibility</translation>
    </message>
    <message>
        <source>фреймов</source>
        <translation>frames</translation>
    </message>
    <message>
        <source>заголовок раздела текстовых полей</source>
        <translation>heading of the text fields section</translation>
    </message>
    <message>
        <source>число текстовых полей</source>
        <translation>number of text fields</translation>
    </message>
    <message>
        <source>текстовое поле %1</source>
        <translation>text field %1</translation>
    </message>
    <message>
        <source>: текст</source>
        <translation>: text</translation>
    </message>
    <message>
        <source>: цвет фона</source>
        <translation>: background colour</translation>
    </message>
    <message>
        <source>: выравнивание</source>
        <translation>: alignment</translation>
    </message>
    <message>
        <source>: шрифт</source>
        <translation>: font</translation>
    </message>
    <message>
        <source>: размер шрифта</source>
        <translation>: font size</translation>
    </message>
    <message>
        <source>: цвет шрифта</source>
        <translation>: font colour</translation>
    </message>
    <message>
        <source>: шаг шрифта</source>
        <translation>: font pitch</translation>
    </message>
    <message>
        <source>: начертание шрифта</source>
        <translation>: font style</translation>
    </message>
    <message>
        <source>объектов</source>
        <translation>objects</translation>
    </message>
    <message>
        <source>заголовок раздела стрелок</source>
        <translation>heading of the arrows section</translation>
    </message>
    <message>
        <source>число стрелок</source>
        <translation>number of arrows</translation>
    </message>
    <message>
        <source>стрелка %1</source>
        <translation>arrow %1</translation>
    </message>
    <message>
        <source>: начало, x</source>
        <translation>: start, x</translation>
    </message>
    <message>
        <source>: начало, y</source>
        <translation>: start, y</translation>
    </message>
    <message>
        <source>: конец, x</source>
        <translation>: end, x</translation>
    </message>
    <message>
        <source>: конец, y</source>
        <translation>: end, y</translation>
    </message>
    <message>
        <source>: толщина</source>
        <translation>: width</translation>
    </message>
    <message>
        <source>заголовок раздела видео фрагментов</source>
        <translation>heading of the video clips section</translation>
    </message>
    <message>
        <source>число видео фрагментов</source>
        <translation>number of video clips</translation>
    </message>
    <message>
        <source>видео фрагмент %1</source>
        <translation>video clip %1</translation>
    </message>
    <message>
        <source>: имя файла</source>
        <translation>: file name</translation>
    </message>
    <message>
        <source>заголовок раздела рисунков</source>
        <translation>heading of the pictures section</translation>
    </message>
    <message>
        <source>число рисунков</source>
        <translation>number of pictures</translation>
    </message>
    <message>
        <source>Не удалось открыть файл рисунков %1 конспекта %2: %3.</source>
        <translation>Could not open the picture file %1 of the outline %2: %3.</translation>
    </message>
    <message>
        <source>рисунок %1</source>
        <translation>picture %1</translation>
    </message>
    <message>
        <source>Версия файла &quot;3.9&quot;</source>
        <translation>File version &quot;3.9&quot;</translation>
    </message>
    <message>
        <source>В текущем файле нет данных о логике конспекта.</source>
        <translation>This file holds no data on the outline&apos;s logic.</translation>
    </message>
    <message>
        <source>Версия файла &quot;3.5&quot;</source>
        <translation>File version &quot;3.5&quot;</translation>
    </message>
    <message>
        <source>Могут возникнуть ошибки при открытии файла.</source>
        <translation>Errors may occur while opening the file.</translation>
    </message>
    <message>
        <source>Не поддерживаемая версия файла</source>
        <translation>Unsupported file version</translation>
    </message>
    <message>
        <source>Версия файла &quot;</source>
        <translation>File version &quot;</translation>
    </message>
    <message>
        <source>файл не найден</source>
        <translation>file not found</translation>
    </message>
    <message>
        <source>Не удалось открыть конспект %1: %2.</source>
        <translation>Could not open the outline %1: %2.</translation>
    </message>
    <message>
        <source>Файл рисунков %1 повреждён: у рисунка %2 длина данных (%3 байт) не соответствует размеру рисунка.</source>
        <translation>The picture file %1 is damaged: the data length of picture %2 (%3 bytes) does not match the picture’s size.</translation>
    </message>
</context>
<context>
    <name>Outline</name>
    <message>
        <source>фреймов</source>
        <translation>frames</translation>
    </message>
    <message>
        <source>рисунков</source>
        <translation>pictures</translation>
    </message>
    <message>
        <source>надписей</source>
        <translation>captions</translation>
    </message>
    <message>
        <source>видео фрагментов</source>
        <translation>video clips</translation>
    </message>
    <message>
        <source>текстовых полей</source>
        <translation>text fields</translation>
    </message>
    <message>
        <source>стрелок</source>
        <translation>arrows</translation>
    </message>
    <message>
        <source>В логическом конспекте уже %1 %2 — больше создать нельзя.
Удалите ненужные объекты этого вида и повторите команду.</source>
        <translation>The logical outline already has %1 %2 — no more can be created.
Delete objects of this kind that are not needed and repeat the command.</translation>
    </message>
    <message>
        <source>%1: вставляется %2, а места осталось для %3.</source>
        <translation>%1: %2 to paste, room left for %3.</translation>
    </message>
    <message>
        <source>Объекты не вставлены: в логическом конспекте может быть не больше %1 объектов каждого вида.
%2</source>
        <translation>Nothing was pasted: an outline holds at most %1 objects of each kind.
%2</translation>
    </message>
</context>
<context>
    <name>OutlineExport</name>
    <message>
        <source>Не удалось сохранить рисунок «%1»: выберите расширение .jpg, .bmp, .png, .pdf или .svg.</source>
        <translation>Could not save the picture “%1”: choose the extension .jpg, .bmp, .png, .pdf or .svg.</translation>
    </message>
    <message>
        <source>Не удалось построить рисунок для файла «%1».</source>
        <translation>Could not make the picture for the file “%1”.</translation>
    </message>
    <message>
        <source>Не удалось сохранить рисунок «%1»: выберите расширение .jpg, .bmp или .png.</source>
        <translation>Could not save the picture “%1”: choose the extension .jpg, .bmp or .png.</translation>
    </message>
    <message>
        <source>Не удалось записать рисунок в файл «%1»: %2.</source>
        <translation>Could not write the picture to the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Рисунок JPEG</source>
        <translation>JPEG Image File</translation>
    </message>
    <message>
        <source>Рисунок BMP</source>
        <translation>Bitmaps</translation>
    </message>
    <message>
        <source>Документ PDF</source>
        <translation>PDF Document</translation>
    </message>
    <message>
        <source>Рисунок SVG</source>
        <translation>SVG Image</translation>
    </message>
    <message>
        <source>Рисунок PNG</source>
        <translation>PNG Image</translation>
    </message>
    <message>
        <source>Не удалось записать презентацию в файл «%1»: %2.</source>
        <translation>Could not write the slide deck to the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Не удалось построить документ для файла «%1».</source>
        <translation>Could not make the document for the file “%1”.</translation>
    </message>
    <message>
        <source>Не удалось записать документ в файл «%1»: %2.</source>
        <translation>Could not write the document to the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Не удалось создать папку «%1».</source>
        <translation>Could not create the folder “%1”.</translation>
    </message>
</context>
<context>
    <name>OutlineFile</name>
    <message>
        <source>длина строки «%1» (%2) больше допустимой (%3)</source>
        <translation>the length of the string “%1” (%2) is larger than allowed (%3)</translation>
    </message>
    <message>
        <source>недопустимое значение «%1» (%2)</source>
        <translation>invalid value of “%1” (%2)</translation>
    </message>
    <message>
        <source>значение «%1» (%2) вне допустимых пределов %3…%4</source>
        <translation>the value of “%1” (%2) is outside the allowed range %3…%4</translation>
    </message>
    <message>
        <source>число объектов «%1» (%2) вне допустимых 0…%3</source>
        <translation>the number of objects “%1” (%2) is outside the allowed 0…%3</translation>
    </message>
    <message>
        <source>файл пуст</source>
        <translation>the file is empty</translation>
    </message>
    <message>
        <source>он короче заголовка логического конспекта (%1 байт вместо %2)</source>
        <translation>it is shorter than a logical outline&apos;s header (%1 bytes instead of %2)</translation>
    </message>
    <message>
        <source>Не поддерживаемая версия файла
<byte value="xd"/>Версия программы &quot;4.1&quot;
<byte value="xd"/>Версия файла &quot;</source>
        <translation>Unsupported file version
<byte value="xd"/>Program version &quot;4.1&quot;
<byte value="xd"/>File version &quot;</translation>
    </message>
    <message>
        <source>Файл «%1» пуст: в нём нет логического конспекта.</source>
        <translation>The file “%1” is empty: it holds no logical outline.</translation>
    </message>
    <message>
        <source>Файл «%1» повреждён: %2. Конспект из него не загружен.</source>
        <translation>The file “%1” is damaged: %2. No outline was loaded from it.</translation>
    </message>
    <message>
        <source>Видеофайл «%1» нельзя связать с видео фрагментом: имя файла с путём длиннее %2 символов, и после сохранения конспекта файл не найти. Переименуйте файл или переместите его в другую папку.</source>
        <translation>The video file “%1” cannot be linked to a video clip: its name with the path is longer than %2 characters, and after the outline is saved the file could not be found. Rename the file or move it to another folder.</translation>
    </message>
</context>
<context>
    <name>OutlineIo</name>
    <message>
        <source>рисунок %1 не удалось сжать в JPEG</source>
        <translation>picture %1 could not be compressed to JPEG</translation>
    </message>
    <message>
        <source>рисунки вместе занимают больше 2 ГБ — столько формат файла не вмещает</source>
        <translation>the pictures together take more than 2 GB — more than the file format holds</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл «%1»: %2.</source>
        <translation>Could not save the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл «%1»: %2. Прежний файл не изменён.</source>
        <translation>Could not save the file “%1”: %2. The previous file is unchanged.</translation>
    </message>
    <message>
        <source>Не удалось записать файл «%1»: %2.</source>
        <translation>Could not write the file “%1”: %2.</translation>
    </message>
    <message>
        <source>неверная длина данных</source>
        <translation>wrong data length</translation>
    </message>
    <message>
        <source>нет данных рисунка</source>
        <translation>no picture data</translation>
    </message>
    <message>
        <source>длина данных (%1 байт) не соответствует размеру рисунка</source>
        <translation>the data length (%1 bytes) does not match the picture&apos;s size</translation>
    </message>
    <message>
        <source>файл обрывается раньше данных рисунка</source>
        <translation>the file ends before the picture data</translation>
    </message>
    <message>
        <source>рисунок %1 (%2)</source>
        <translation>picture %1 (%2)</translation>
    </message>
    <message>
        <source>Не все рисунки файла «%1» удалось прочитать: %2. Вместо них вставлены пустые рисунки; остальные объекты конспекта загружены.</source>
        <translation>Not all pictures of the file “%1” could be read: %2. Blank pictures were put in their place; the outline&apos;s other objects have been loaded.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл «%1»: %2.</source>
        <translation>Could not open the file “%1”: %2.</translation>
    </message>
    <message>
        <source>в снимке %1 %2, а в конспекте %3</source>
        <translation>the snapshot has %1 %2, the outline %3</translation>
    </message>
</context>
<context>
    <name>OutlinePrint</name>
    <message>
        <source>Не удалось напечатать конспект: %1.</source>
        <translation>Could not print the outline: %1.</translation>
    </message>
    <message>
        <source>на холсте нет места для конспекта</source>
        <translation>the canvas has no room for the outline</translation>
    </message>
    <message>
        <source>принтер недоступен или файл не удаётся записать</source>
        <translation>the printer is not available or the file cannot be written</translation>
    </message>
    <message>
        <source>принтер сообщил об ошибке</source>
        <translation>the printer reported an error</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Страница %1 из %2</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>Лист %1 из %2: столбец %3, ряд %4. Обрежьте по меткам; край соседнего листа кладётся на пунктир.</source>
        <translation>Sheet %1 of %2: column %3, row %4. Cut along the marks; the next sheet&apos;s edge is laid on the dashes.</translation>
    </message>
</context>
<context>
    <name>OutlineWebPage</name>
    <message>
        <source>Не удалось построить веб-страницу для файла «%1».</source>
        <translation>Could not make the web page for the file “%1”.</translation>
    </message>
    <message>
        <source>Не удалось записать веб-страницу в файл «%1»: %2.</source>
        <translation>Could not write the web page to the file “%1”: %2.</translation>
    </message>
</context>
<context>
    <name>PaintTools</name>
    <message>
        <source>Выделение</source>
        <translation>Selection</translation>
    </message>
    <message>
        <source>Масштаб</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Ластик</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>Выбор цвета</source>
        <translation>Colour picker</translation>
    </message>
    <message>
        <source>Карандаш</source>
        <translation>Pencil</translation>
    </message>
    <message>
        <source>Распылитель</source>
        <translation>Spray</translation>
    </message>
    <message>
        <source>Заливка</source>
        <translation>Fill</translation>
    </message>
    <message>
        <source>Линия</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Надпись</source>
        <translation>Caption</translation>
    </message>
    <message>
        <source>Прямоугольник</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>Эллипс</source>
        <translation>Ellipse</translation>
    </message>
    <message>
        <source>Скругленный прямоугольник</source>
        <translation>Rounded rectangle</translation>
    </message>
    <message>
        <source>Допуск</source>
        <translation>Tolerance</translation>
    </message>
    <message>
        <source>Все</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Шрифт</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Картинка</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>Толщина</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Курсор</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <source>Цвет</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>Размер</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Диаметр</source>
        <translation>Diameter</translation>
    </message>
    <message>
        <source>Контур</source>
        <translation>Outline</translation>
    </message>
    <message>
        <source>Контур и заливка</source>
        <translation>Outline and fill</translation>
    </message>
    <message>
        <source>Заливка без контура</source>
        <translation>Fill without outline</translation>
    </message>
    <message>
        <source>Непрозрачный фрагмент</source>
        <translation>Opaque piece</translation>
    </message>
    <message>
        <source>Прозрачный фрагмент</source>
        <translation>Transparent piece</translation>
    </message>
    <message>
        <source>По окну</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>По размеру окна</source>
        <translation>Fit to window</translation>
    </message>
    <message>
        <source>Без стрелок</source>
        <translation>No arrow heads</translation>
    </message>
    <message>
        <source>Стрелка на конце</source>
        <translation>Arrow head at the end</translation>
    </message>
    <message>
        <source>Стрелки на обоих концах</source>
        <translation>Arrow heads at both ends</translation>
    </message>
    <message>
        <source>Стрелки линии</source>
        <translation>Line arrow heads</translation>
    </message>
</context>
<context>
    <name>PaintWindow</name>
    <message>
        <source>Нет выделенного фрагмента.</source>
        <translation>There is no selected piece.</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл «%1»: %2</source>
        <translation>Could not save the file “%1”: %2</translation>
    </message>
    <message>
        <source>Не удалось прочитать рисунок «%1»: %2</source>
        <translation>Could not read the picture “%1”: %2</translation>
    </message>
    <message>
        <source>красный %1, зелёный %2, синий %3</source>
        <translation>red %1, green %2, blue %3</translation>
    </message>
    <message>
        <source>Вставляемый рисунок (%1 x %2) больше редактируемого (%3 x %4).

Уменьшить его до %5 x %6, сохранив пропорции? «Нет» оставит его размер, и часть рисунка окажется за краем.</source>
        <translation>The picture being pasted (%1 x %2) is larger than the one being edited (%3 x %4).

Reduce it to %5 x %6, keeping its proportions? “No” keeps its size, and part of the picture will be beyond the edge.</translation>
    </message>
    <message>
        <source>Графический редактор</source>
        <translation>Graphic editor</translation>
    </message>
    <message>
        <source>Рисунок «%1» слишком велик (%2 x %3).</source>
        <translation>The picture “%1” is too large (%2 x %3).</translation>
    </message>
    <message>
        <source>Не удалось открыть рисунок «%1».</source>
        <translation>Could not open the picture “%1”.</translation>
    </message>
    <message>
        <source>Перенесённый рисунок слишком велик (%1 x %2).</source>
        <translation>The dropped picture is too large (%1 x %2).</translation>
    </message>
    <message>
        <source>Перенесённые данные не удалось прочитать как рисунок.</source>
        <translation>The dropped data could not be read as a picture.</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Прервать</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Сетка пикселей (6x и 8x)</source>
        <translation>Pixel grid (6x and 8x)</translation>
    </message>
    <message>
        <source>Увеличить</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>Уменьшить</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Создать</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Сохранить как...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Повторить</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Вырезать</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Выделить все</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Копировать в файл...</source>
        <translation>Copy to file...</translation>
    </message>
    <message>
        <source>Вставить из файла...</source>
        <translation>Paste from file...</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Вызов справки</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Вставить из файла</source>
        <translation>Paste from file</translation>
    </message>
    <message>
        <source>Копировать в файл</source>
        <translation>Copy to file</translation>
    </message>
    <message>
        <source>Не удалось открыть рисунок «%1»: %2.</source>
        <translation>Could not open the picture “%1”: %2.</translation>
    </message>
    <message>
        <source>Не удалось сохранить рисунок в файл «%1»: %2.</source>
        <translation>Could not save the picture to the file “%1”: %2.</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Рисунок в буфере обмена слишком велик (%1 x %2).</source>
        <translation>The picture on the clipboard is too large (%1 x %2).</translation>
    </message>
    <message>
        <source>Рисунок в буфере обмена не удалось прочитать: данные повреждены.</source>
        <translation>The picture on the clipboard could not be read: the data are damaged.</translation>
    </message>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Рисунок изменен. Сохранить изменения?</source>
        <translation>The picture has changed. Save the changes?</translation>
    </message>
    <message>
        <source>Изменить размер</source>
        <translation>Resize</translation>
    </message>
    <message>
        <source>Сейчас: %1 x %2 точек</source>
        <translation>Now: %1 x %2 pixels</translation>
    </message>
    <message>
        <source>В процентах</source>
        <translation>In per cent</translation>
    </message>
    <message>
        <source>В точках</source>
        <translation>In pixels</translation>
    </message>
    <message>
        <source>Ширина:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Высота:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Сохранять пропорции</source>
        <translation>Keep the aspect ratio</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Получится: %1 x %2 точек</source>
        <translation>Result: %1 x %2 pixels</translation>
    </message>
    <message>
        <source>Рисунок</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>Обрезать по выделению</source>
        <translation>Crop to selection</translation>
    </message>
    <message>
        <source>Повернуть на 90° по часовой стрелке</source>
        <translation>Rotate 90° clockwise</translation>
    </message>
    <message>
        <source>Повернуть на 90° против часовой стрелки</source>
        <translation>Rotate 90° counter-clockwise</translation>
    </message>
    <message>
        <source>Повернуть на 180°</source>
        <translation>Rotate 180°</translation>
    </message>
    <message>
        <source>Отразить слева направо</source>
        <translation>Flip left to right</translation>
    </message>
    <message>
        <source>Отразить сверху вниз</source>
        <translation>Flip top to bottom</translation>
    </message>
    <message>
        <source>Изменить размер...</source>
        <translation>Resize...</translation>
    </message>
    <message>
        <source>По размеру окна</source>
        <translation>Fit to window</translation>
    </message>
</context>
<context>
    <name>PictureBrowser</name>
    <message>
        <source>Папка «%1» не найдена или недоступна.</source>
        <translation>The folder “%1” was not found or cannot be accessed.</translation>
    </message>
    <message>
        <source>В папке больше %1 элементов: показаны первые %1.</source>
        <translation>The folder has more than %1 items: the first %1 are shown.</translation>
    </message>
    <message>
        <source>%1
Рисунок не читается: %2</source>
        <translation>%1
The picture cannot be read: %2</translation>
    </message>
</context>
<context>
    <name>PictureFiles</name>
    <message>
        <source>файл слишком велик</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>файл не открывается для чтения</source>
        <translation>the file cannot be opened for reading</translation>
    </message>
    <message>
        <source>файл не является рисунком или повреждён</source>
        <translation>the file is not a picture or is damaged</translation>
    </message>
    <message>
        <source>рисунок не удалось закодировать</source>
        <translation>the picture could not be encoded</translation>
    </message>
    <message>
        <source>Рисунок BMP (*.bmp)|*.bmp|Рисунок JPEG (*.jpg)|*.jpg|Рисунок JPEG (*.jpeg)|*.jpeg</source>
        <translation>Bitmaps (*.bmp)|*.bmp|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg</translation>
    </message>
    <message>
        <source>Рисунок BMP (*.bmp)|*.bmp|Рисунок JPEG (*.jpg)|*.jpg</source>
        <translation>Bitmaps (*.bmp)|*.bmp|JPEG Image File (*.jpg)|*.jpg</translation>
    </message>
</context>
<context>
    <name>PicturePreview</name>
    <message>
        <source>Просмотр</source>
        <translation>Preview</translation>
    </message>
</context>
<context>
    <name>PresentationWindow</name>
    <message>
        <source>Показ конспекта</source>
        <translation>Show the outline</translation>
    </message>
    <message>
        <source>Стрелка</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <source>Перо</source>
        <translation>Pen</translation>
    </message>
    <message>
        <source>Маркер</source>
        <translation>Highlighter</translation>
    </message>
    <message>
        <source>Лазерная указка</source>
        <translation>Laser pointer</translation>
    </message>
    <message>
        <source>Ластик</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>Цвет</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>Красный</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Синий</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Зелёный</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Жёлтый</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Чёрный</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Белый</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Толщина</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Тонкая</source>
        <translation>Thin</translation>
    </message>
    <message>
        <source>Средняя</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>Толстая</source>
        <translation>Thick</translation>
    </message>
    <message>
        <source>Прожектор</source>
        <translation>Spotlight</translation>
    </message>
    <message>
        <source>Стереть рисунки шага</source>
        <translation>Wipe the step&apos;s drawings</translation>
    </message>
    <message>
        <source>Сохранить рисунки показа...</source>
        <translation>Save the show&apos;s drawings...</translation>
    </message>
    <message>
        <source>Завершить показ</source>
        <translation>End the show</translation>
    </message>
    <message>
        <source>Сохранить рисунки показа</source>
        <translation>Save the show&apos;s drawings</translation>
    </message>
    <message>
        <source>Не удалось записать рисунок шага в файл «%1»: %2.</source>
        <translation>Could not write the step&apos;s picture to the file “%1”: %2.</translation>
    </message>
    <message>
        <source>нет такой папки</source>
        <translation>there is no such folder</translation>
    </message>
</context>
<context>
    <name>PresenterView</name>
    <message>
        <source>Показ конспекта — ведущий</source>
        <translation>Outline show — presenter</translation>
    </message>
    <message>
        <source>Шаг %1</source>
        <translation>Step %1</translation>
    </message>
    <message>
        <source>%1    прошло %2</source>
        <translation>%1    elapsed %2</translation>
    </message>
    <message>
        <source>Сейчас (экран зрителей чёрный)</source>
        <translation>Now (audience screen black)</translation>
    </message>
    <message>
        <source>Сейчас (экран зрителей белый)</source>
        <translation>Now (audience screen white)</translation>
    </message>
    <message>
        <source>Сейчас</source>
        <translation>Now</translation>
    </message>
    <message>
        <source>Далее</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Минимальный текст</source>
        <translation>Minimal text</translation>
    </message>
    <message>
        <source>Конец показа</source>
        <translation>End of the show</translation>
    </message>
    <message>
        <source>Таймер...</source>
        <translation>Timer...</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Сброс</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Таймер</source>
        <translation>Timer</translation>
    </message>
    <message>
        <source>Сколько минут осталось (или мм:сс):</source>
        <translation>How many minutes are left (or mm:ss):</translation>
    </message>
    <message>
        <source>Введите минуты, например 15, или 7:30.</source>
        <translation>Enter minutes, for example 15, or 7:30.</translation>
    </message>
    <message>
        <source>осталось %1</source>
        <translation>%1 left</translation>
    </message>
</context>
<context>
    <name>PrintFormPage</name>
    <message>
        <source>Что печатать</source>
        <translation>What to print</translation>
    </message>
    <message>
        <source>Конспект</source>
        <translation>Outline</translation>
    </message>
    <message>
        <source>Раздаточный материал: шагов показа на странице</source>
        <translation>Handouts: steps of the show per page</translation>
    </message>
    <message>
        <source>Лист для упражнения (тексты — пустыми рамками)</source>
        <translation>Exercise sheet (texts as empty boxes)</translation>
    </message>
    <message>
        <source>Плакат на нескольких листах</source>
        <translation>Poster on several sheets</translation>
    </message>
    <message>
        <source>столбцов</source>
        <translation>columns</translation>
    </message>
    <message>
        <source>× рядов</source>
        <translation>× rows</translation>
    </message>
</context>
<context>
    <name>PrintSupport</name>
    <message>
        <source>модуль печати не найден</source>
        <translation>the printing module was not found</translation>
    </message>
    <message>
        <source>модуль печати не загружается: %1</source>
        <translation>the printing module does not load: %1</translation>
    </message>
    <message>
        <source>Печать недоступна: %1.</source>
        <translation>Printing is not available: %1.</translation>
    </message>
</context>
<context>
    <name>RecentOutlines</name>
    <message>
        <source>Информация</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Файл «%1» не найден: он удалён или перемещён. Он убран из списка последних конспектов.</source>
        <translation>The file “%1” was not found: it was deleted or moved. It has been removed from the list of recent outlines.</translation>
    </message>
    <message>
        <source>«%1» теперь папка, а не файл конспекта. Она убрана из списка последних конспектов.</source>
        <translation>“%1” is now a folder, not an outline file. It has been removed from the list of recent outlines.</translation>
    </message>
    <message>
        <source>«%1» не обычный файл (канал, устройство или сокет): конспект из него не открывается. Он убран из списка последних конспектов.</source>
        <translation>“%1” is not a regular file (a pipe, a device or a socket): no outline can be opened from it. It has been removed from the list of recent outlines.</translation>
    </message>
</context>
<context>
    <name>SpellChecker</name>
    <message>
        <source>Модуль проверки орфографии не найден.</source>
        <translation>The spelling module was not found.</translation>
    </message>
    <message>
        <source>Модуль проверки орфографии не загружается: %1</source>
        <translation>The spelling module does not load: %1</translation>
    </message>
</context>
<context>
    <name>Templates</name>
    <message>
        <source>Пустой конспект</source>
        <translation>Empty outline</translation>
    </message>
    <message>
        <source>Стандартный шаблон</source>
        <translation>Standard template</translation>
    </message>
    <message>
        <source>Создать</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>С чего начать новый конспект?</source>
        <translation>What should the new outline start from?</translation>
    </message>
    <message>
        <source>Сохранить как шаблон</source>
        <translation>Save as template</translation>
    </message>
    <message>
        <source>Введите название шаблона</source>
        <translation>Enter the template&apos;s name</translation>
    </message>
    <message>
        <source>«%1» не может быть названием шаблона: оно пусто или содержит «/», «\» или управляющие символы.</source>
        <translation>“%1” cannot name a template: it is empty or holds “/”, “\” or control characters.</translation>
    </message>
    <message>
        <source>Подтверждение</source>
        <translation>Confirmation</translation>
    </message>
    <message>
        <source>Шаблон «%1» уже есть. Заменить его?</source>
        <translation>The template “%1” already exists. Replace it?</translation>
    </message>
    <message>
        <source>Не удалось создать папку шаблонов «%1».</source>
        <translation>Could not create the templates folder “%1”.</translation>
    </message>
</context>
<context>
    <name>TextEditMenu</name>
    <message>
        <source>Нет вариантов</source>
        <translation>No suggestions</translation>
    </message>
    <message>
        <source>Добавить в словарь</source>
        <translation>Add to dictionary</translation>
    </message>
    <message>
        <source>Вырезать</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Выделить всё</source>
        <translation>Select all</translation>
    </message>
</context>
<context>
    <name>VideoPanel</name>
    <message>
        <source>файл не найден</source>
        <translation>file not found</translation>
    </message>
    <message>
        <source>файл недоступен для чтения</source>
        <translation>the file cannot be read</translation>
    </message>
    <message>
        <source>воспроизведение видео недоступно: не установлена мультимедийная система</source>
        <translation>video playback is not available: no multimedia system is installed</translation>
    </message>
    <message>
        <source>мультимедийная система не ответила за %1 с</source>
        <translation>the multimedia system did not answer within %1 s</translation>
    </message>
    <message>
        <source>неизвестная ошибка мультимедийной системы</source>
        <translation>unknown error of the multimedia system</translation>
    </message>
    <message>
        <source>формат файла не поддерживается</source>
        <translation>the file format is not supported</translation>
    </message>
</context>
<context>
    <name>WorkingFolders</name>
    <message>
        <source>Рабочая папка «%1» %2, поэтому Velmar не может хранить в ней историю правок: другой пользователь мог бы подменить её файлы. Выберите свою папку в переменной окружения VELMAR_HOME, например: VELMAR_HOME=~/velmar velmar</source>
        <translation>The working folder “%1” %2, so Velmar cannot keep the editing history in it: another user could replace its files. Choose a folder of your own in the environment variable VELMAR_HOME, for example: VELMAR_HOME=~/velmar velmar</translation>
    </message>
    <message>
        <source>не является папкой</source>
        <translation>is not a folder</translation>
    </message>
    <message>
        <source>принадлежит другому пользователю</source>
        <translation>belongs to another user</translation>
    </message>
    <message>
        <source>открыта для записи другим пользователям</source>
        <translation>is open for writing to other users</translation>
    </message>
</context>
<context>
    <name>ZipArchive</name>
    <message>
        <source>модуль архивов zip не найден</source>
        <translation>the zip archive module was not found</translation>
    </message>
    <message>
        <source>модуль архивов zip не загружается: %1</source>
        <translation>the zip archive module does not load: %1</translation>
    </message>
</context>
</TS>
