#pragma once
// The main window: every control the operator uses, the timer Timer1 of the
// clock poll, and the handlers that hand the operator's acts to the device
// session (exchange/DeviceSession.h, which owns the port CPort1) and show
// what it holds. No program state lives in a widget's text.
//
// Controls are private members named as the window's controls, each with that
// name as its object name, by which tests find them. The window lays them out at fixed positions on a
// 96-dpi grid, scaled to the screen. Handlers run on the main thread; an
// exception leaving one ends it and is shown by the application's error
// display (ui/HandlerCall.h, TApplication), so no handler catches anything.
//
// The window deletes itself when closed; its destruction closes the port.

#include "exchange/DeviceSession.h"
#include "exchange/FieldTable.h"
#include "exchange/ModeTable.h"
#include "serial/EComPort.h"
#include "ui/HandlerFailures.h"

#include <QDateTime>
#include <QMainWindow>
#include <QRect>

#include <array>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QToolBar;
class TButton;
class TComboBox;
class TDirectoryListBox;
class TDriveComboBox;
class TEdit;
struct TEntryFieldWidget;
class TFrameLabel;
class TPanel;
class TPathLabel;
class TPortDoctor;
class TRadioButton;
class TStatusBarLoan;
class TStatusLine;
class TTimer;

class TSDIAppForm : public QMainWindow {
    Q_OBJECT
public:
    // The PC's local time as the window reads it; tests pass a fixed one.
    using TClock = std::function<QDateTime()>;

    // Builds every control in its stored state, then runs FormCreate (whose
    // failure the error display shows once the event loop runs).
    explicit TSDIAppForm(TClock clock = {}, QWidget* parent = nullptr);
    ~TSDIAppForm() override;

    // The device session: the port, the request under way, the frame under
    // construction and what came of it.
    exchange::TDeviceSession& Session() { return session_; }

    // The MD5 digest of the file, 32 upper-case hex digits; raises
    // EFOpenError when it cannot be opened.
    QString MD5(const QString& FileName);
    // The program file whose digest identifies the software: the running
    // program's own file, wherever the current directory has moved.
    static QString ProgramFileName();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab pass over covered controls.
    bool focusNextPrevChild(bool next) override;

private:
    friend const std::array<TEntryFieldWidget, 12>& EntryFieldWidgets();

    // ---- menu, tool bar, status bar ----
    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* N1;
    QAction* FileExitItem;
    QToolBar* ToolBar1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QStatusBar* StatusBar;

    // ---- mode choice ----
    TPanel* Panel6;
    QLabel* Ausw;
    TRadioButton* Wert_lesen;
    TRadioButton* Datei_lesen;
    TRadioButton* Uhr_stellen;
    TRadioButton* Konfig;

    // ---- interface and clocks ----
    QLabel* Schnittst;
    TComboBox* Schnittstelle;
    QLabel* L_SystZeit;
    TPanel* Panel5;
    QLabel* Label20;
    TPanel* Modulzeit;

    // ---- identifier, date and time fields ----
    TPanel* Panel1;
    TButton* Systemzeit;
    QLabel* Mess_Id;
    TEdit* MessID;
    TPanel* Panel2;
    QLabel* Datum;
    QLabel* Jahr;
    QLabel* Mon;
    QLabel* Tag;
    TEdit* JJ;
    TEdit* MM;
    TEdit* TT;
    QLabel* Label4;
    QLabel* Label6;
    TPanel* Panel3;
    QLabel* Uhrzeit;
    QLabel* Stnd;
    QLabel* Min;
    QLabel* Sek;
    TEdit* hh;
    TEdit* m_m;
    TEdit* ss;
    QLabel* Label11;
    QLabel* Label12;

    // ---- configuration fields ----
    TPanel* Panel4;
    QLabel* Konfiguration;
    TEdit* Dezimale;
    TEdit* Speicher_ID;
    TEdit* Zaehler_ID;
    TEdit* Winter;
    TEdit* Sommer;
    QLabel* L_CRC;

    // ---- transmission and output ----
    TButton* Uebertragen;
    QLabel* Ausgabe;
    TFrameLabel* Ergebnis4;
    QLabel* Rueckgab;
    QLabel* Rueckgabe;
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    QLabel* Pfad_Datei;
    TPathLabel* Datei;

    // ---- software identification ----
    TButton* Button1;
    QLabel* Software;

    // ---- readout display ----
    QLabel* StaticText5;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QLabel* StaticText4;
    TPanel* ID_Zaehler;
    TPanel* Datum_Zeit;
    TPanel* ID_Mess;
    TPanel* Messwert;
    QLabel* StaticText6;

    // ---- components ----
    TTimer* Timer1;

    // The caption language last chosen: 0 until a flag is pressed, then 1
    // (German) or 2 (English).
    std::uint8_t LanguageIndex = 0;

    // The system's time separator, read by FormCreate; the date separator of
    // every date the window shows is ".".
    char TimeSeparator = ':';

    // The whole path of the readout folder or file that `Datei` shows.
    QString DateiPath() const;

    // The port names of this machine, sorted (see portlist/ComAvailable.h).
    QStringList GetComAvailable();

    // The PC's local time now, from the window's clock.
    QDateTime Now() const;

    // The text Panel5 shows for a moment.
    QString SystemTimeText(const QDateTime& when) const;

    TEdit* FieldEdit(exchange::TEntryField field) const;
    // The entry field whose edit `edit` is; throws std::logic_error for any
    // other object.
    exchange::TEntryField FieldOf(const QObject* edit) const;

    // Whether a visible cover panel lies over the control (so the operator
    // cannot see or reach it).
    bool IsCovered(const QWidget* control) const;

    void FormCreate(QObject* Sender);
    void FileExit1Execute(QObject* Sender);

    // Caption language.
    void BitBtn1Click(QObject* Sender);
    void BitBtn2Click(QObject* Sender);

    // Software identification.
    void Button1MouseDown(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void Button1MouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);

    // The port list, read again each time it opens; the entry highlighted in
    // it is described in the status bar, which shows its news again when the
    // list closes.
    void SchnittstelleDropDown(QObject* Sender);
    void SchnittstelleCloseUp(QObject* Sender);
    void SchnittstelleHighlight(int Index);
    // Enter on a typed name the list does not hold: no such port is connected.
    void SchnittstelleNotListed(QObject* Sender, const QString& Name);

    // Port selection and the device exchange.
    void SchnittstelleClick(QObject* Sender);
    void Wert_lesenClick(QObject* Sender);
    void Datei_lesenClick(QObject* Sender);
    void Uhr_stellenClick(QObject* Sender);
    void StartupClick(QObject* Sender);
    void LesenClick(QObject* Sender);
    void Timer1Timer(QObject* Sender);

    // Field entry: runs when Enter (Key = CR) is pressed in one of the twelve
    // entry fields; the Sender is that field's edit.
    void EntryFieldKeyPress(QObject* Sender, char& Key);

    // Fills Schnittstelle with this machine's ports, each with its device as
    // tool-tip, keeping what the field shows.
    void FillPortList();

    void BuildControls();
    void BuildMenu();
    void BuildToolBar();
    void BuildModeChoice();
    void BuildInterfaceAndClocks();
    void BuildIdentifierDateTime();
    void BuildConfiguration();
    void BuildEntryFields(exchange::TEntryField first, exchange::TEntryField last);
    void BuildTransmissionAndOutput();
    void BuildSoftwareIdentification();
    void BuildReadoutDisplay();
    void BuildComponents();
    void WireHandlers();
    void LayOutBars();
    void ApplyLanguage(std::uint8_t language);

    // The device exchange's steps, shared by several handlers.
    void ApplyMode(exchange::TOperatingMode mode);
    // The folder the directory chooser shows, as the file system's bytes,
    // and as the system names it (empty when the chooser shows none).
    std::string ChooserFolderText() const;
    std::filesystem::path ChooserFolder() const;
    // The chooser's folder becomes the readout folder.
    void TakeReadoutFolder();
    void CommitEntry(exchange::TEntryField field, char Key);
    // The PC clock in Panel5, each second in every mode; "Systemzeit
    // übernehmen" while that button holds the focus.
    void PcClockTick();
    static exchange::TDateTimeParts PartsOf(const QDateTime& when);
    // Shows the draft's frame, day file name and whether it can be sent.
    void ShowDraft();
    void ShowFields(const std::vector<std::pair<exchange::TEntryField, std::string>>& fields);
    // Shows what the session holds and hands its failures to the error display.
    void ShowSession();
    // "Error ...1" with why the day's file cannot be written, and where.
    QString DayFileFailureText() const;
    // The window's news in the status bar, in the caption language.
    enum TNews { nwReport, nwNextDay };
    void ShowStatus(std::function<QString(exchange::TTextLanguage)> text, TNews kind);

    // Pixels on this screen for a length on the 96-dpi grid.
    int S(int length96) const;
    QRect R(int x, int y, int width, int height) const;

    TClock clock_;
    double scale_ = 1.0;
    QWidget* client_ = nullptr;    // the client area below the menu
    std::vector<TPanel*> covers_;  // the five cover panels

    exchange::TDeviceSession session_;
    TTimer* requestTimer_ = nullptr;  // the session's times, while a request is open
    TTimer* pcClock_ = nullptr;
    // What of the session's view is shown, so each part is set only when it
    // changed, and the status bar is cleared only of the session's own word.
    struct TShown {
        int Line = -1;
        std::string Rueckgabe;
        int Clock = 0;
        int Status = 0;
        QString StatusText;
        exchange::TTextLanguage Language = exchange::TTextLanguage::tlGerman;
    } shown_;

    // What the operator can do about a port that would not open.
    std::unique_ptr<TPortDoctor> portDoctor_;
    // The status bar while the port list is open.
    std::unique_ptr<TStatusBarLoan> portListStatus_;
    // The window's own news in the status bar, in the caption language.
    std::unique_ptr<TStatusLine> news_;
};
