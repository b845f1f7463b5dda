#include "ui/help.hpp"

#include <array>
#include <vector>

#include "program.hpp"

namespace pavuto {

namespace {

// The seven pages, line by line; "" is an empty line.
const std::array<std::vector<Text>, 7> kPages = {{
    // page 1
    {
        "",
        "                       Pavuto 3.3",
        "",
        "  Mit diesem Programm k\xF6nnen sie ihre Mp3's und Videos in der von ihnen",
        "  gew\xE4hlten Folge direkt abspielen lassen oder ihre Text-Dokumente ausw\xE4hlen.",
        "",
        "  Maus funktionen:",
        "  Zeile hoch/runter (up/dn) ist Klick auf Rahmen oben/unten vom Datenfeld.",
        "  Seite hoch/runter (Pgup/Pgdn) ist Klick ober/unterhalb des Datenfeldes",
        "  auf die Zeichen \x1E\x1F.",
        "  Sprung mitten rein ist Klick auf Rahmen links oder rechts des Datenfeldes.",
        "  Doppelklick links w\xE4hlt aus ('Enter'), Doppelklick rechts ist wie 'ESC'.",
        "  Im Auswahlfeld links unten:  h=Home  \\=Root  i=DateiInfo",
    },
    // page 2
    {
        "",
        "",
        "  Damit das Programm richtig funktioniert mu\xDF folgendes ber\xFC" "cksichtigt werden:",
        "",
        "  Pfade sollten nicht auf der erweiterung enden ( ..\\.mp3\\<Datei.mp3>).",
        "  Auch gleiche Pfad-enden k\xF6nnen probleme machen ( \\xx\\abc\\  \\yy\\abc\\ ).",
        "  Aufrufe aus Listen sind nur ohne abschlie\xDF" "ende spaces im Dateinamen m\xF6glich",
        "",
        "  Titel und Interpreten werden durch 'Space' bindestrich 'Space' getrennt.",
        "  Der zweite Teil bis zum Punkt wird als Name angesehen. F\xFChrende 'The '",
        "  im Namen werden in der Interpretenliste entfernt.",
        "",
        "  Von diesem Programm gel\xF6schte Dateien landen nicht im Papierkorb.",
        "  (Darum mu\xDF das L\xF6schen immer erst unter Optionen erlaubt werden.)",
        "  Beim 'Suchen' werden Umlaute und Akzente nach einfachen Lauten",
        "  umgewandelt. Gro\xDF- und Kleinschrift wird dabei nicht unterschieden.",
    },
    // page 3
    {
        "",
        "  Es k\xF6nnen Listen aus verschiedenen 'Erweiterungen' durch \xE4ndern",
        "  der Voreinstellungen erstellt werden. Diese \xC4nderungen k\xF6nnen",
        "  gesondert abgespeichert und so schnell wieder geladen werden.",
        "  Bei Programm aufruf werden die als 'Default' gespeicherten",
        "  Configurationsdaten verwendet.",
        "  Beim Datei-aufruf aus einer Liste wird auf die configuration der",
        "  jeweiligen Liste umgestellt. (bei Aufruf, nicht beim \xF6" "ffnen.)",
        "",
        "  Das erstellen 'einer' Liste aus Dateien mit 'verschiedenen Erweiterungen'",
        "  ist nicht m\xF6glich. Vor dem erstellen einer neuen Liste unter Optionen",
        "  auf das Gew\xFCnschte einstellen und configuration speichern.",
    },
    // page 4
    {
        "",
        "  Die Fenstergr\xF6\xDF" "e l\xE4sst sich \xFC" "ber das Optionenmen\xFC anpassen.",
        "  Das ist sinnvoll wenn sie in der Desktopverkn\xFCpfung eine andere",
        "  Schrift ausw\xE4hlen haben oder eine breitere Anzeige ben\xF6tigen.",
        "",
        "  Einzelne Verzeichnisse k\xF6nnen sie nachtr\xE4glich unter ",
        "  'Listen bearbeiten' hinzuf\xFCgen, oder sie bearbeiten die entspechende",
        "  Configdatei (vorher die gew\xFCnschte Liste \xF6" "ffnen) mit dem Editor.",
        "",
        "  Eine neue Liste mit allen MP3's (oder anderen Erweiterungen) von einem",
        "  ganzen Lw. k\xF6nnen sie unter Optionen - Laufwerk nach 'erw' durchsuchen",
        "  erstellen.",
    },
    // page 5
    {
        "",
        "  Programm aufruf mit '/blind' oder '/auto' und Listenname startet",
        "  endlose zufallswiedergabe der Liste. ",
        "  Dabei sind die Tasten wie folgt belegt: ",
        "         P                = Pause",
        "         V                = Titel zur\xFC" "ck   (Titel vorher)",
        "         G                = n\xE4" "chsten Titel (Titel gleich)",
        "         R                = Rewind (schnellr\xFC" "cklauf)",
        "         F                = Forward (schnellvorlauf)",
        "         U oder \xDC         = den n\xE4" "chsten Titel \xFC" "berspringen",
        "         ESC              = Programm beenden",
        "         + oder -         = Lautst\xE4rke \xE4ndern ",
        "  Bei aufruf mit Parameter /blind wird sich das Programm nach",
        "  jedem Titel aktiv in den vordergrund setzen um Bedienbarkeit",
        "  \xFC" "ber die Tasten auch ohne Display zu gew\xE4hrleisten.",
        "  Bei aufruf ohne /blind oder /auto wird der angegebene Parameter",
        "  als voreinstellung angesehen die anstatt default geladen werden soll.",
    },
    // page 6
    {
        "",
        "  Programm aufruf mit '/down xx' f\xE4hrt den Rechner nach ",
        "  \xFC" "berschreiten der angegebenen Zeit mit Shutdown runter.",
        "  Dies wird nach jedem Titel \xFC" "berpr\xFC" "ft damit die Titel nicht",
        "  w\xE4hrend der Wiedergabe  unterbrochen werden.",
        "  /down xx mu\xDF am Ende des Aufrufes stehen. (/downh=Hibernate)",
        "  xx = Minuten (mindestens 3 bis maximal 360 - also bis zu 6 Std.)",
        "  Mit d(down=runter) und m(more=mehr) kann die Zeit nachjustiert werden.",
    },
    // page 7
    {
        "",
        "  Andere 'Player' oder ein anderer 'Editor' k\xF6nnen in",
        "  der 'pavuto.config' eingestellt werden.",
        "  Um eine Druckliste mit 'allen' angezeigten Dateien zu erstellen ist",
        "  die aktuelle Dateierweiterung auf '*'  'all' oder 'alles' einzustellen.",
        "  ('all'=allen angezeigten - nur die in pavuto.config unter ",
        "   mehrerweiterungen eingetragenen werden auch angezeigt.)",
        "  Entspricht die Datei der aktuellen erweiterung wird diese (.erw).",
        "   weggelassen.",
    },
}};

}  // namespace

void ShowHelp(Program& p) {
    auto& con = p.con;
    const int rows = con.ScreenRows, columns = con.ScreenColumns;
    con.ScreenRows = 20;
    con.ScreenColumns = 80;
    con.ApplyWindowSize();
    for (std::size_t page = 0; page < kPages.size(); ++page) {
        con.Clear();
        for (std::size_t line = 0; line < kPages[page].size(); ++line) {
            const Text& text = kPages[page][line];
            if (text.empty()) {
                con.LineEnd();
            } else if (page == 0 && line == 1) {
                con.Raw(text);  // the title line goes out as it is
                con.LineEnd();
            } else {
                con.ShowLine(text);
            }
        }
        // Any key or click turns the page; there is no way back and no way out.
        con.WaitForInput();
    }
    con.Clear();
    con.ScreenRows = rows;
    con.ScreenColumns = columns;
    con.ApplyWindowSize();
}

}  // namespace pavuto
