#pragma once

// The numbers of the interface texts (resources/strings.tsv), named after what they say and
// grouped by the window that shows them. Entry K is English, 1000 + K Spanish, 2000 + K
// French; code asks for K. A text used by several windows is listed with the first.
namespace platform::TextId {

// The program's name, the caption of its windows and message boxes.
inline constexpr int AppTitle = 1050;

// Main window: menus.
inline constexpr int MenuFile = 1000;
inline constexpr int MenuFileNew = 1001;
inline constexpr int MenuFileOpen = 1002;
inline constexpr int MenuFileSave = 1003;
inline constexpr int MenuFileSaveAs = 1004;
inline constexpr int MenuFilePrint = 1006;
inline constexpr int MenuFilePrintReport = 1702;
inline constexpr int MenuFileExit = 1007;
inline constexpr int MenuEdit = 1008;
inline constexpr int MenuEditIconize = 1009;
inline constexpr int MenuEditCopy = 1010;
inline constexpr int MenuEditUndo = 1642;
inline constexpr int MenuEditRedo = 1643;
inline constexpr int MenuView = 1011;
inline constexpr int MenuViewIdentification = 1012;
inline constexpr int MenuViewResults = 1013;
inline constexpr int MenuViewSpecies = 1014;
inline constexpr int MenuViewToolbar = 1015;
inline constexpr int MenuViewStatusBar = 1016;
inline constexpr int MenuViewRefresh = 1017;
inline constexpr int MenuViewOptions = 1018;
inline constexpr int MenuViewProposeQuestion = 1646;
inline constexpr int MenuHelp = 1019;
inline constexpr int MenuHelpContents = 1020;
inline constexpr int MenuHelpAbout = 1022;

// Main window: the toolbar's captions and tips; the tips also title the file dialogs.
inline constexpr int ButtonNew = 1053;
inline constexpr int ButtonOpen = 1054;
inline constexpr int ButtonSave = 1055;
inline constexpr int ButtonCopy = 1056;
inline constexpr int ButtonPrint = 1057;
inline constexpr int ButtonHelp = 1058;
inline constexpr int ButtonBack = 1059;
inline constexpr int ButtonForward = 1060;
inline constexpr int ButtonStop = 1061;
inline constexpr int ButtonErrors = 1065;
inline constexpr int TipNewIdentification = 1023;
inline constexpr int TipOpen = 1024;
inline constexpr int TipSave = 1025;
inline constexpr int TipCopy = 1026;
inline constexpr int TipPrint = 1027;
inline constexpr int TipHelp = 1028;
inline constexpr int TipPreviousDocument = 1062;
inline constexpr int TipNextDocument = 1063;
inline constexpr int TipStopDownloading = 1064;
inline constexpr int TipIdentificationErrors = 1066;

// Main window: the questions panel.
inline constexpr int Questions = 1640;
inline constexpr int ForgetAnswer = 1641;
inline constexpr int FilterQuestions = 1644;
inline constexpr int OtherQuestions = 1645;

// Main window: the species tree's branches and the drawing's legend window.
inline constexpr int TreeSpecies = 1300;
inline constexpr int TreeFamilies = 1301;
inline constexpr int TreeCommonNames = 1302;
inline constexpr int Legend = 1400;

// Main window: messages.
inline constexpr int QntFileFilter = 1052;
inline constexpr int QuitQuestion = 1071;
inline constexpr int SaveQuestion = 1072;
inline constexpr int Unavailable = 1074;
inline constexpr int NoMoreDiscriminant = 1075;
inline constexpr int TryUnusedQuestions = 1076;
inline constexpr int DrawingUnavailable = 1077;
inline constexpr int OnlyOneSpecies = 1078;
inline constexpr int QntOfAnotherLength = 1600;
inline constexpr int QntOfAnotherBase = 1601;
inline constexpr int QntNotSaved = 1602;

// The legend of the ranking: "species at" from the base's language, else the program's.
inline constexpr int LegendSpeciesAt = 1500;
inline constexpr int SpeciesAt = 1603;

// Start-up.
inline constexpr int AlreadyRunning = 1067;
inline constexpr int UseTheTaskbar = 1068;
inline constexpr int WeightsUnreadable = 1069;
inline constexpr int MatrixUnreadable = 1070;
inline constexpr int NotInstalled = 1073;
inline constexpr int UseDemoQuestion = 1650;
inline constexpr int DemoUnusable = 1651;
inline constexpr int SettingsUnwritable = 1652;
inline constexpr int ViewerCannotStart = 1690;
inline constexpr int ViewerHelperMissing = 1691;
inline constexpr int ViewerResourcesMissing = 1692;

// The font of every window: its family, and its size where the language has one.
inline constexpr int FontName = 1200;
inline constexpr int FontSize = 1201;

// Options dialog.
inline constexpr int OptionsTitle = 1037;
inline constexpr int OptionsApply = 1042;
inline constexpr int OptionsCancel = 1043;
inline constexpr int OptionsOk = 1044;
inline constexpr int OptionsParamsTab = 1100;
inline constexpr int OptionsLanguageTab = 1101;
inline constexpr int OptionsDirectoriesTab = 1102;
inline constexpr int OptionsSpecies = 1103;
inline constexpr int OptionsCursor = 1104;
inline constexpr int OptionsListAbove = 1105;
inline constexpr int OptionsListAll = 1106;
inline constexpr int OptionsDynamicCursor = 1107;
inline constexpr int OptionsLanguage = 1108;
inline constexpr int OptionsEnglish = 1109;
inline constexpr int OptionsSpanish = 1110;
inline constexpr int OptionsFrench = 1111;
inline constexpr int OptionsDocumentFolders = 1112;
inline constexpr int OptionsWebSite = 1113;
inline constexpr int OptionsHardDisk = 1114;

// Printing and the identification report.
inline constexpr int Printing = 1700;
inline constexpr int PrintingCancel = 1701;
inline constexpr int ReportTitle = 1703;
inline constexpr int ReportBase = 1704;
inline constexpr int ReportDate = 1705;
inline constexpr int ReportAnswers = 1706;
inline constexpr int ReportNoAnswers = 1707;
inline constexpr int ReportRanked = 1708;
inline constexpr int ReportDrawing = 1709;
inline constexpr int ReportDocument = 1710;
inline constexpr int ReportMoreSpecies = 1771;
inline constexpr int ReportTie = 1772;
inline constexpr int PrintCannotStart = 1712;
inline constexpr int PrintStillBusy = 1713;
inline constexpr int PrintPictureUnreadable = 1714;
inline constexpr int PrintDocumentFailed = 1715;

// Help window.
inline constexpr int OpenInBrowser = 1770;

// Species comparison.
inline constexpr int CompareWith = 1820;
inline constexpr int CompareChoose = 1821;
inline constexpr int CompareTitle = 1822;
inline constexpr int CompareDiffer = 1823;
inline constexpr int CompareAgree = 1824;
inline constexpr int CompareQuestion = 1825;
inline constexpr int CompareNotCoded = 1826;
inline constexpr int CompareAnyState = 1827;
inline constexpr int CompareSeparates = 1828;
inline constexpr int CompareShowAgreeing = 1829;
inline constexpr int CompareChooseFirst = 1830;

// Questions answered by a typed number.
inline constexpr int MeasurePrompt = 1860;
inline constexpr int MeasureNotANumber = 1861;
inline constexpr int MeasureOutOfRange = 1862;
inline constexpr int TypedValueNotKept = 1880;  // "%1 (typed value not kept)"

// Species whose percentage rests on unknowns, and questions asked as a list.
inline constexpr int UncodedAnswers = 1870;
inline constexpr int FullyDescribed = 1871;
inline constexpr int StateListFilter = 1872;

}  // namespace platform::TextId

// Every layer writes TextId::Name.
namespace TextId = platform::TextId;
