// Every text that Quorvel shows, exactly as the player sees it (UTF-8).
#pragma once

#include <initializer_list>
#include <string>

namespace Texts {

// Captions and titles.
inline constexpr const char *kApplicationTitle = "Quorvel";
inline constexpr const char *kMainCaption = "Кворвел";
inline constexpr const char *kInformationCaption = "Information";
inline constexpr const char *kOk = "OK";

// Messages at the end of a game; the trailing blanks belong to them.
inline constexpr const char *kGameOverNotice = "Игра звершена! ";
inline constexpr const char *kWinNotice = "Поздравляю Вы выиграли! ";

// Failures of the saved game file.
inline constexpr const char *kFileNotFound = "File not found";
inline constexpr const char *kInvalidFilename = "Invalid filename";
inline constexpr const char *kTooManyOpenFiles = "Too many open files";
inline constexpr const char *kFileAccessDenied = "File access denied";
inline constexpr const char *kReadBeyondEndOfFile = "Read beyond end of file";
inline constexpr const char *kDiskFull = "Disk full";
inline constexpr const char *kIoErrorPrefix = "I/O error "; // followed by the system's error number

// Menus; "&" marks the access letter.
inline constexpr const char *kMenuFile = "&Файл";
inline constexpr const char *kMenuNew = "Н&овая";
inline constexpr const char *kMenuSave = "Со&хранить";
inline constexpr const char *kMenuOpen = "&Открыть";
inline constexpr const char *kMenuExit = "В&ыход";
inline constexpr const char *kMenuGame = "&Игра";
inline constexpr const char *kMenuLatinCross = "Ла&тинский крест";
inline constexpr const char *kMenuGreekCross = "&Греческий крест";
inline constexpr const char *kMenuFireplace = "&Камин";
inline constexpr const char *kMenuLamp = "&Лампа";
inline constexpr const char *kMenuTurnedSquare = "Перевёрнут&ый квадрат";
inline constexpr const char *kMenuPyramid = "П&ирамида";
inline constexpr const char *kMenuFullBoard = "&Кворвел";
inline constexpr const char *kMenuHelp = "П&омощь";
inline constexpr const char *kMenuRules = "Пра&вила игры";
inline constexpr const char *kMenuAbout = "О про&грамме";

// Toolbar hints.
inline constexpr const char *kHintExit = "Выход";
inline constexpr const char *kHintNew = "Новая игра";
inline constexpr const char *kHintOpen = "Загрузить игру";
inline constexpr const char *kHintSave = "Сохранить игру";
inline constexpr const char *kHintLatinCross = "Латинский крест";
inline constexpr const char *kHintGreekCross = "Греческий крест";
inline constexpr const char *kHintFireplace = "Камин";
inline constexpr const char *kHintLamp = "Лампа";
inline constexpr const char *kHintTurnedSquare = "Перевёрнутый квадрат";
inline constexpr const char *kHintPyramid = "Пирамида";
inline constexpr const char *kHintFullBoard = "Кворвел";
inline constexpr const char *kHintRules = "Легенда и правила игры";
inline constexpr const char *kHintAbout = "О программе";

// The board's holes as a screen reader names them: "4, 2: фишка", column and row from the left
// and from the top, and what the hole holds; and the name of a hole's press.
inline constexpr const char *kHolePlace = "%1, %2";
inline constexpr const char *kHoleName = "%1: %2";
inline constexpr const char *kHoleEmpty = "пустая лунка";
inline constexpr const char *kHolePeg = "фишка";
inline constexpr const char *kHoleSelected = "выбранная фишка";
inline constexpr const char *kPressAction = "Нажать";
// The board as a screen reader names it, and what it says after a change: the pressed hole
// first, then several holes that now hold the same together ("4, 4: фишка; 4, 3 и 4, 2: пустые
// лунки"); after a deal, a load or a save what happened ("Новая игра: Латинский крест, 6 фишек").
inline constexpr const char *kBoardName = "Игровое поле";
inline constexpr const char *kHolesEmpty = "пустые лунки";
inline constexpr const char *kHolesPeg = "фишки";
inline constexpr const char *kHolesSelected = "выбранные фишки";
inline constexpr const char *kHolesAnd = " и ";
inline constexpr const char *kChangesSeparator = "; ";
inline constexpr const char *kDealtHeading = "Новая игра: %1, %2";
inline constexpr const char *kLoadedHeading = "Игра загружена, %1";
inline constexpr const char *kPegCount = "%1 %2";
// The board as it is now: its layout and its pegs ("Игровое поле: Латинский крест, 6 фишек").
inline constexpr const char *kLayoutAndPegs = "%1, %2";
inline constexpr const char *kSavedNews = "Игра сохранена";
// A press that changed nothing, and an arrow at the cross's edge.
inline constexpr const char *kNothingChanged = "Без изменений";
inline constexpr const char *kBoardEdge = "Край поля";

// File dialogs.
inline constexpr const char *kSavedGameFilter = "Игровые файлы (*.sav)";
inline constexpr const char *kDefaultSuffix = "sav";
inline constexpr const char *kInitialSaveName = "Game0";
// The file list's types and sizes: "1 байт", "3 байта", "200 байт".
inline constexpr const char *kFolderType = "Папка";
inline constexpr const char *kSavedGameType = "Игровой файл";
inline constexpr const char *kFileType = "Файл";
inline constexpr const char *kBytesFew = "байта";
inline constexpr const char *kBytesMany = "байт";

// Rules and legend dialog.
inline constexpr const char *kRulesCaption = "Правила игры и легенда";
inline constexpr const char *kRulesWelcome = "Добро пожаловать в Кворвел!";
// The legend and the rules' continuation are joined from these pieces with a straight
// double quote between neighbouring pieces.
inline constexpr const char *kLegendPieces[] = {
    ("   По одной из версий эту игру придумал узник Бастилии, за свою историю она имела много "
     "названий: начиная от "),
    "Отшельника",
    " и заканчивая ",
    "Кворвелом",
    ". Под этим названием, я прочитал её описание в ",
    "Энциклопедии игр и головоломок",
    ", под ним и выпускаю программу",
};
inline constexpr const char *kRulesHeading = "Правила и цель игры:";
inline constexpr const char *kRulesStart
    = "    Требуется удалить все фишки с игровой доски перепрыгивая одной через другую по "
      "вертикали или по горизонтали. Выделяете фишку щелчком мыши, а вторым указываете место "
      "куда бы Вы хотели её поместить. Недопустимы как ходы без перепрыгавания так и ходы";
inline constexpr const char *kRulesContinuedPieces[] = {
    ("на занятые поля. Партия считается выигранной если на поле остаеётся одна фишка. Выбранная "
     "фишка окрашивается зелёным цветом. Выбор осушествляется  левой кнопкой "),
    "мыши",
    ", отмена выбора правой. Вот в принципе и всё. Желаю удачи!",
};

// About dialog.
inline constexpr const char *kAboutCaption = "О программе";
inline constexpr const char *kProductName = "Quorvel for Windows";
inline constexpr const char *kVersion = "Version 3.0";
inline constexpr const char *kDistributionNote = "Свободная программа";
inline constexpr const char *kAuthorLine = "Команда Кворвела";

// Dedication dialog.
inline constexpr const char *kGiftCaption = "Подарочная версия!!!";
inline constexpr const char *kGiftTitle = "Подарочная версия программы.";
inline constexpr const char *kDedication
    = "Всем, кто любит головоломки. Пусть последняя фишка всегда остаётся в центре доски!";
inline constexpr const char *kClose = "&Закрыть";

// Printed when the game cannot open its window; %1 and %2 are the values of DISPLAY and
// WAYLAND_DISPLAY.
inline constexpr const char *kNoDisplay
    = "Кворвел не может открыть окно: дисплей не отвечает (DISPLAY=%1, WAYLAND_DISPLAY=%2).\n"
      "Проверьте, что сеанс рабочего стола запущен, или запустите игру из него.\n";

// The solver, quorvel-solve. "%1", "%2" ... stand for the values that fillIn() puts in.
inline constexpr const char *kLayoutNames[] = {
    kHintFullBoard, kHintLatinCross,   kHintGreekCross, kHintFireplace,
    kHintLamp,      kHintTurnedSquare, kHintPyramid,
};
inline constexpr const char *kSolverOddValue
    = "В клетке %1 стоит %2, а решатель знает только 0, 1, 2 и 9";
inline constexpr const char *kSolverOutsideCross
    = "В клетке %1 стоит %2, но она вне креста из 33 лунок: там может быть только 9";
inline constexpr const char *kSolverUsage
    = "Использование:\n"
      "  quorvel-solve ФАЙЛ.sav          решить позицию из сохранённой игры\n"
      "  quorvel-solve --layout N        решить начальную расстановку N:\n"
      "%1"
      "  quorvel-solve --count ФАЙЛ.sav\n"
      "  quorvel-solve --count --layout N\n"
      "                                  сосчитать позиции, которые получаются из этой после\n"
      "                                  каждого числа прыжков; отражения и повороты одной\n"
      "                                  позиции считаются за одну\n"
      "  quorvel-solve --ways ФАЙЛ.sav\n"
      "  quorvel-solve --ways --layout N\n"
      "                                  сосчитать разные партии из этой позиции: все, что\n"
      "                                  идут, пока есть прыжки; выигранные (осталась одна\n"
      "                                  фишка); выигранные с последней фишкой в центре (4,4).\n"
      "                                  Партии, которые расходятся хоть в одном прыжке, разные\n"
      "  quorvel-solve --help            показать эту справку\n"
      "\n"
      "Прыжок (столбец,строка) -> (столбец,строка): щёлкните по фишке в первой клетке, потом\n"
      "по пустой лунке во второй. Столбцы считаются слева, строки сверху, от 1 до 7.\n"
      "Выигрыш: на доске осталось меньше двух фишек.\n"
      "\n"
      "Позицию, где выбрано (стоит 2) больше одной фишки, решатель не принимает.\n"
      "\n"
      "Код выхода: 0 - позицию можно выиграть (с --count и --ways: всё сосчитано), 1 - нельзя,\n"
      "2 - ошибка во входных данных, не хватило памяти или ответ не удалось вывести.\n";
inline constexpr const char *kSolverUsageLayout = "                                    %1  %2\n";
inline constexpr const char *kSolverSeeHelp = "Подробнее: quorvel-solve --help";
inline constexpr const char *kSolverUnknownOption = "неизвестный параметр «%1»";
inline constexpr const char *kSolverHelpAlone = "--help пишут отдельно, без «%1»";
inline constexpr const char *kSolverNoLayoutNumber = "после --layout нужен номер от 0 до 6";
inline constexpr const char *kSolverBadLayoutNumber
    = "номер расстановки должен быть от 0 до 6, а не «%1»";
inline constexpr const char *kSolverNoPosition = "укажите файл сохранённой игры или --layout N";
inline constexpr const char *kSolverTwoPositions
    = "укажите одну позицию: файл сохранённой игры или --layout N";
inline constexpr const char *kSolverLayoutHeading = "Расстановка «%1»: %2.";
inline constexpr const char *kSolverFileHeading = "Позиция из %1: %2.";
inline constexpr const char *kSolverAlreadyWon = "Игра уже выиграна: фишек меньше двух.";
inline constexpr const char *kSolverWinnable = "Позицию можно выиграть за %1:";
inline constexpr const char *kSolverNoJump = "Выиграть нельзя: ни одного прыжка сделать нельзя.";
inline constexpr const char *kSolverNotWinnable
    = "Выиграть нельзя. Меньше всего останется %1, за %2:";
inline constexpr const char *kSolverPutDownFirst
    = "Фишка %1 уже выбрана: сначала щёлкните по ней, чтобы положить её.";
inline constexpr const char *kSolverCountHeading
    = "Позиции после каждого числа прыжков (отражения и повороты позиции считаются за одну):";
inline constexpr const char *kSolverCountColumns = "Прыжков   Позиций";
inline constexpr const char *kSolverCountTotal = "Всего: %1";
inline constexpr const char *kSolverSearchProgress = "Просмотрено позиций: %1";
inline constexpr const char *kSolverCountProgress = "Прыжков: %1, позиций: %2";
inline constexpr const char *kSolverTwoCounts = "укажите что-то одно: --count или --ways";
inline constexpr const char *kSolverSeveralSelected
    = "Выбранных фишек (2 в клетке) несколько: %1. Игра не даёт ни взять, ни перепрыгнуть "
      "их, поэтому решатель такую позицию не принимает";
inline constexpr const char *kSolverWaysHeading
    = "Разных партий (партии, которые расходятся хоть в одном прыжке, разные):";
inline constexpr const char *kSolverWaysComplete = "  всех, пока есть прыжки:                   %1";
inline constexpr const char *kSolverWaysWon = "  выигранных, с одной фишкой в конце:       %1";
inline constexpr const char *kSolverWaysWonInCentre
    = "  из них с последней фишкой в центре (4,4): %1";
inline constexpr const char *kSolverTooManyGames
    = "Партий больше 2^95 (около 4·10^28): столько решатель сосчитать не может";
inline constexpr const char *kSolverOutOfMemory
    = "Не хватило памяти: позиций слишком много для этого компьютера";
inline constexpr const char *kSolverOutputFailed = "Ответ не удалось вывести: %1";
inline constexpr const char *kSolverOutputDiskFull = "на диске нет места";
inline constexpr const char *kSolverOutputClosed = "стандартный вывод закрыт";
inline constexpr const char *kSolverOutputError = "ошибка ввода-вывода %1";
// Russian numbers take one of three forms: 1 фишка, 2 фишки, 5 фишек.
inline constexpr const char *kPegForms[] = {"фишка", "фишки", "фишек"};
inline constexpr const char *kJumpForms[] = {"прыжок", "прыжка", "прыжков"};

// `text` with "%1" replaced by the first of `values`, "%2" by the second, and so on.
inline std::string fillIn(const char *text, std::initializer_list<std::string> values)
{
    std::string filled;
    for (const char *at = text; *at != '\0'; ++at) {
        const std::size_t index = std::size_t(at[1] - '1');
        if (at[0] == '%' && at[1] >= '1' && at[1] <= '9' && index < values.size()) {
            filled += values.begin()[index];
            ++at;
        } else {
            filled += *at;
        }
    }
    return filled;
}

} // namespace Texts
