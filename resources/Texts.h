// Every text that Quorvel shows, exactly as the player sees it (UTF-8).
#pragma once

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

// File dialogs.
inline constexpr const char *kSavedGameFilter = "Игровые файлы (*.sav)";
inline constexpr const char *kDefaultSuffix = "sav";
inline constexpr const char *kInitialSaveName = "Game0";

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

} // namespace Texts
