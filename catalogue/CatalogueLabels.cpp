// Texts of the menus, the main panel's labels and tooltips, the toolbar, the
// Shortcut Keys panel and the print panel. Latin-1.
#include "catalogue/CatalogueData.h"

namespace {

constexpr CatalogueEntryData kLabels[] = {
    {Msg::FileMenu, {"File", "Fichier", "Datei", "Archivo", "File"}},
    {Msg::SaveTrace,
     {"Save Trace (.txt) ...",
      "Enregistrer la trace (.txt) ...",
      "Kurve speichern (.txt) ...",
      "Guardar traza (.txt) ...",
      "Salva traccia (.txt) ..."}},
    {Msg::CopyWindow,
     {"Copy Window",
      "Copier la fen\xEAtre",
      "Fenster kopieren",
      "Copiar ventana",
      "Copia finestra"}},
    {Msg::PrintEllipsis, {"Print...", "Imprimer...", "Drucken...", "Imprimir...", "Stampa..."}},
    {Msg::Exit, {"Exit", "Quitter", "Beenden", "Salir", "Esci"}},
    {Msg::DisplayMenu, {"Display", "Affichage", "Anzeige", "Visualizaci\xF3n", "Visualizza"}},
    {Msg::Persistence, {"Persistence", "R\xE9manence", "Remanenz", "Remanencia", "Rimanenza"}},
    {Msg::AutomaticMeasurements,
     {"Automatic measurements",
      "Mesures automatiques",
      "Automatische Messungen",
      "Mediciones autom\xE1ticas",
      "Misure automatiche"}},
    {Msg::Language, {"Language", "Langue", "Sprache", "Idioma", "Lingua"}},
    {Msg::Help, {"Help", "Aide", "Hilfe", "Ayuda", "Guida"}},
    {Msg::About,
     {"About...",
      "\xC0 propos...",
      "\xDC" "ber...",
      "Acerca de...",
      "Informazioni su..."}},
    {Msg::SaveDialogTitle, {"Save...", "Enregistrer...", "Speichern...", "Guardar...", "Salva..."}},
    {Msg::ChooseChannel,
     {"Choose the channel :",
      "Choisissez la voie :",
      "Kanal w\xE4hlen:",
      "Elija el canal:",
      "Scegliere il canale:"}},
    {Msg::Vertical, {"Vertical", "Vertical", "Vertikal", "Vertical", "Verticale"}},
    {Msg::Horizontal, {"Horizontal", "Horizontal", "Horizontal", "Horizontal", "Orizzontale"}},
    {Msg::Trigger, {"Trigger", "D\xE9" "clenchement", "Triggerung", "Disparo", "Trigger"}},
    {Msg::Source, {"Source", "Source", "Quelle", "Fuente", "Sorgente"}},
    {Msg::Level, {"Level", "Niveau", "Pegel", "Nivel", "Livello"}},
    {Msg::AutoMeasurements,
     {"Auto. meas.",
      "Mes. auto.",
      "Auto. Messungen",
      "Med. auto.",
      "Mis. auto."}},
    {Msg::CursorMeasurements,
     {"Cursor measurements",
      "Mesures curseurs",
      "Cursormessungen",
      "Mediciones con cursores",
      "Misure con i cursori"}},
    {Msg::ScreenShot, {"ScreenShot", "Mode Photo", "Momentaufnahme", "Captura", "Istantanea"}},
    {Msg::Reference, {"Reference", "R\xE9" "f\xE9rence", "Referenz", "Referencia", "Riferimento"}},
    {Msg::ShortcutKeys,
     {"Shortcut Keys",
      "Raccourcis clavier",
      "Tastenk\xFCrzel",
      "Atajos de teclado",
      "Tasti di scelta rapida"}},
    {Msg::AutosetShortcuts,
     {"F1 : Autoset CH1\rF2 : Autoset CH2\rF3 : Full Autoset\r",
      "F1 : R\xE9glage auto CH1\rF2 : R\xE9glage auto CH2\rF3 : R\xE9glage auto complet\r",
      "F1 : Autoeinstellung CH1\rF2 : Autoeinstellung CH2\rF3 : Vollst\xE4ndige Autoeinstellung\r",
      "F1 : Ajuste autom\xE1tico CH1\r"
      "F2 : Ajuste autom\xE1tico CH2\r"
      "F3 : Ajuste autom\xE1tico completo\r",
      "F1 : Regolazione automatica CH1\r"
      "F2 : Regolazione automatica CH2\r"
      "F3 : Regolazione automatica completa\r"}},
    {Msg::AdjustShortcuts,
     {"F5 : Higher sensitivity of CH1\r"
      "F6 : Lower sensitivity of CH1\r"
      "F7 : Higher sensitivity of CH2\r"
      "F8 : Lower sensitivity of CH2\r"
      "F9 : Lower trigger level\r"
      "F10 : Higher trigger level\r"
      "F11 : Slower time base\r"
      "F12 : Faster time base\r"
      "(If the Zoom is active Page UP & Page Down are used to set the Zoom.)\r",
      "F5 : Sensibilit\xE9 de CH1 plus \xE9lev\xE9" "e\r"
      "F6 : Sensibilit\xE9 de CH1 plus faible\r"
      "F7 : Sensibilit\xE9 de CH2 plus \xE9lev\xE9" "e\r"
      "F8 : Sensibilit\xE9 de CH2 plus faible\r"
      "F9 : Niveau de d\xE9" "clenchement plus bas\r"
      "F10 : Niveau de d\xE9" "clenchement plus haut\r"
      "F11 : Base de temps plus lente\r"
      "F12 : Base de temps plus rapide\r"
      "(Si le zoom est actif, Page pr\xE9" "c. et Page suiv. r\xE8glent le zoom.)\r",
      "F5 : H\xF6here Empfindlichkeit von CH1\r"
      "F6 : Niedrigere Empfindlichkeit von CH1\r"
      "F7 : H\xF6here Empfindlichkeit von CH2\r"
      "F8 : Niedrigere Empfindlichkeit von CH2\r"
      "F9 : Niedrigerer Triggerpegel\r"
      "F10 : H\xF6herer Triggerpegel\r"
      "F11 : Langsamere Zeitbasis\r"
      "F12 : Schnellere Zeitbasis\r"
      "(Bei aktivem Zoom stellen Bild auf und Bild ab den Zoom ein.)\r",
      "F5 : Mayor sensibilidad de CH1\r"
      "F6 : Menor sensibilidad de CH1\r"
      "F7 : Mayor sensibilidad de CH2\r"
      "F8 : Menor sensibilidad de CH2\r"
      "F9 : Nivel de disparo m\xE1s bajo\r"
      "F10 : Nivel de disparo m\xE1s alto\r"
      "F11 : Base de tiempos m\xE1s lenta\r"
      "F12 : Base de tiempos m\xE1s r\xE1pida\r"
      "(Con el zoom activo, Re P\xE1g y Av P\xE1g ajustan el zoom.)\r",
      "F5 : Sensibilit\xE0 di CH1 maggiore\r"
      "F6 : Sensibilit\xE0 di CH1 minore\r"
      "F7 : Sensibilit\xE0 di CH2 maggiore\r"
      "F8 : Sensibilit\xE0 di CH2 minore\r"
      "F9 : Livello di trigger pi\xF9 basso\r"
      "F10 : Livello di trigger pi\xF9 alto\r"
      "F11 : Base dei tempi pi\xF9 lenta\r"
      "F12 : Base dei tempi pi\xF9 veloce\r"
      "(Con lo zoom attivo, Pag Su e Pag Gi\xF9 regolano lo zoom.)\r"}},
    {Msg::AutosetTooltip,
     {"Autoset complete.\n"
      "The time base, vertical sensitivity, couplings,\n"
      "offset and trigger settings can be modified.",
      "R\xE9glage automatique complet.\n"
      "La base de temps, la sensibilit\xE9 verticale, les couplages,\n"
      "le d\xE9" "calage et le d\xE9" "clenchement peuvent \xEAtre modifi\xE9s.",
      "Vollst\xE4ndige Autoeinstellung.\n"
      "Zeitbasis, vertikale Empfindlichkeit, Kopplungen,\n"
      "Offset und Triggereinstellungen k\xF6nnen ver\xE4ndert werden.",
      "Ajuste autom\xE1tico completo.\n"
      "La base de tiempos, la sensibilidad vertical, los acoplamientos,\n"
      "el desplazamiento y el disparo pueden modificarse.",
      "Regolazione automatica completa.\n"
      "Base dei tempi, sensibilit\xE0 verticale, accoppiamenti,\n"
      "offset e impostazioni di trigger possono essere modificati."}},
    {Msg::VerticalAutosetTooltip,
     {"Vertical autoset.\nThe vertical sensitivity and the offset can be modified.",
      "R\xE9glage automatique vertical.\n"
      "La sensibilit\xE9 verticale et le d\xE9" "calage peuvent \xEAtre modifi\xE9s.",
      "Vertikale Autoeinstellung.\n"
      "Vertikale Empfindlichkeit und Offset k\xF6nnen ver\xE4ndert werden.",
      "Ajuste autom\xE1tico vertical.\n"
      "La sensibilidad vertical y el desplazamiento pueden modificarse.",
      "Regolazione automatica verticale.\n"
      "Sensibilit\xE0 verticale e offset possono essere modificati."}},
    {Msg::Print, {"Print", "Imprimer", "Drucken", "Imprimir", "Stampa"}},
    {Msg::Title, {"Title", "Titre", "Titel", "T\xEDtulo", "Titolo"}},
    {Msg::SelectWindows,
     {"Select the windows to be printed:",
      "S\xE9lectionnez les fen\xEAtres \xE0 imprimer :",
      "Zu druckende Fenster ausw\xE4hlen:",
      "Seleccione las ventanas que desea imprimir:",
      "Selezionare le finestre da stampare:"}},
    {Msg::SelectPrinter,
     {"Select the printer:",
      "S\xE9lectionnez l'imprimante :",
      "Drucker ausw\xE4hlen:",
      "Seleccione la impresora:",
      "Selezionare la stampante:"}},
    {Msg::Portrait, {"Portrait", "Portrait", "Hochformat", "Vertical", "Verticale"}},
    {Msg::Landscape, {"Landscape", "Paysage", "Querformat", "Horizontal", "Orizzontale"}},
    {Msg::ControlPanel,
     {"Control panel",
      "Panneau de commande",
      "Bedienfeld",
      "Panel de control",
      "Pannello di controllo"}},
    {Msg::XyGraph, {"XY graph", "Graphe XY", "XY-Diagramm", "Gr\xE1" "fico XY", "Grafico XY"}},
    {Msg::Cancel, {"__Cancel", "__Annuler", "__Abbrechen", "__Cancelar", "__Annulla"}},
    {Msg::Sensitivity, {"Sensitivity", "Sensibilit\xE9", "Empfindlichkeit", "Sensibilidad", "Sensibilit\xE0"}},
    {Msg::Position, {"Position", "Position", "Position", "Posici\xF3n", "Posizione"}},
    {Msg::Coupling, {"Coupling", "Couplage", "Kopplung", "Acoplamiento", "Accoppiamento"}},
    {Msg::TimeBase, {"Time base", "Base de temps", "Zeitbasis", "Base de tiempos", "Base dei tempi"}},
    {Msg::HorizontalPosition,
     {"Horizontal position",
      "Position horizontale",
      "Horizontale Position",
      "Posici\xF3n horizontal",
      "Posizione orizzontale"}},
    {Msg::TriggerLevel,
     {"Trigger level",
      "Niveau de d\xE9" "clenchement",
      "Triggerpegel",
      "Nivel de disparo",
      "Livello di trigger"}},
    {Msg::RisingSlope, {"Rising slope", "Front montant", "Steigende Flanke", "Flanco de subida", "Fronte di salita"}},
    {Msg::FallingSlope,
     {"Falling slope", "Front descendant", "Fallende Flanke", "Flanco de bajada", "Fronte di discesa"}},
};

}  // namespace

std::span<const CatalogueEntryData> LabelEntries() { return kLabels; }
