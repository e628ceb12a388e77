// Texts of message boxes, notices and the first-run sequence. Latin-1; line
// breaks as the program shows them ("\r" in the first-run messages).
#include "catalogue/CatalogueData.h"

namespace {

constexpr CatalogueEntryData kMessages[] = {
    {Msg::WarningTitle,
     {"WARNING !",
      "ATTENTION !",
      "WARNUNG !",
      "\xA1" "ATENCI\xD3N!",
      "ATTENZIONE !"}},
    {Msg::ErrorTitle, {"ERROR !", "ERREUR !", "FEHLER !", "\xA1" "ERROR!", "ERRORE !"}},
    {Msg::WaitTitle, {"WAIT !", "PATIENTEZ !", "BITTE WARTEN !", "\xA1" "ESPERE!", "ATTENDERE !"}},
    {Msg::InformationTitle,
     {"INFORMATION",
      "INFORMATION",
      "HINWEIS",
      "INFORMACI\xD3N",
      "INFORMAZIONE"}},
    {Msg::Yes, {"Yes", "Oui", "Ja", "S\xED", "S\xEC"}},
    {Msg::No, {"No", "Non", "Nein", "No", "No"}},
    {Msg::QuitQuestion,
     {"Are you sure you want to quit ORNIKELVARINLAB ?\n",
      "Voulez-vous vraiment quitter ORNIKELVARINLAB ?\n",
      "Wollen Sie ORNIKELVARINLAB wirklich beenden?\n",
      "\xBFSeguro que desea salir de ORNIKELVARINLAB?\n",
      "Si desidera davvero uscire da ORNIKELVARINLAB?\n"}},
    {Msg::InstallingDrivers,
     {"Installation of drivers ...",
      "Installation des pilotes ...",
      "Installation der Treiber ...",
      "Instalaci\xF3n de los controladores ...",
      "Installazione dei driver ..."}},
    {Msg::FileErrorTitle,
     {"FILE ERROR",
      "ERREUR FICHIER",
      "DATEIFEHLER",
      "ERROR DE ARCHIVO",
      "ERRORE FILE"}},
    {Msg::ChecksumErrorTitle,
     {"CHECKSUM ERROR",
      "ERREUR DE SOMME DE CONTR\xD4LE",
      "PR\xDC" "FSUMMENFEHLER",
      "ERROR DE SUMA DE CONTROL",
      "ERRORE DI CHECKSUM"}},
    {Msg::CannotCreateFile,
     {"Cannot create the file.",
      "Impossible de cr\xE9" "er le fichier.",
      "Die Datei kann nicht erstellt werden.",
      "No se puede crear el archivo.",
      "Impossibile creare il file."}},
    {Msg::PanelFileNotFound,
     {"FATAL RUNTIME ERROR\n\nUIR File not found !\n",
      "ERREUR FATALE D'EX\xC9" "CUTION\n\nFichier UIR introuvable !\n",
      "SCHWERER LAUFZEITFEHLER\n\nUIR-Datei nicht gefunden!\n",
      "ERROR FATAL DE EJECUCI\xD3N\n\n\xA1No se encuentra el archivo UIR!\n",
      "ERRORE FATALE DI ESECUZIONE\n\nFile UIR non trovato!\n"}},
    {Msg::WrongIniFile,
     {"Wrong '.ini' file.",
      "Fichier '.ini' incorrect.",
      "Ung\xFCltige '.ini'-Datei.",
      "Archivo '.ini' incorrecto.",
      "File '.ini' non valido."}},
    {Msg::CannotCreateIniFile,
     {"Cannot create '.ini' file.",
      "Impossible de cr\xE9" "er le fichier '.ini'.",
      "Die '.ini'-Datei kann nicht erstellt werden.",
      "No se puede crear el archivo '.ini'.",
      "Impossibile creare il file '.ini'."}},
    {Msg::WrongConfigurationFile,
     {"Wrong configuration file",
      "Fichier de configuration incorrect",
      "Ung\xFCltige Konfigurationsdatei",
      "Archivo de configuraci\xF3n incorrecto",
      "File di configurazione non valido"}},
    {Msg::ConfigurationFileNotFound,
     {"Configuration file not found.",
      "Fichier de configuration introuvable.",
      "Konfigurationsdatei nicht gefunden.",
      "No se encuentra el archivo de configuraci\xF3n.",
      "File di configurazione non trovato."}},
    {Msg::CannotCreateConfigurationFile,
     {"Cannot create configuration file '*.cfg'.",
      "Impossible de cr\xE9" "er le fichier de configuration '*.cfg'.",
      "Die Konfigurationsdatei '*.cfg' kann nicht erstellt werden.",
      "No se puede crear el archivo de configuraci\xF3n '*.cfg'.",
      "Impossibile creare il file di configurazione '*.cfg'."}},
    {Msg::ReadConfigurationChecksum,
     {"Checksum error in read configuration.",
      "Erreur de somme de contr\xF4le dans la configuration lue.",
      "Pr\xFC" "fsummenfehler in der gelesenen Konfiguration.",
      "Error de suma de control en la configuraci\xF3n le\xED" "da.",
      "Errore di checksum nella configurazione letta."}},
    {Msg::ReadConfigurationWrong,
     {"Read configuration is wrong.",
      "La configuration lue est incorrecte.",
      "Die gelesene Konfiguration ist ung\xFCltig.",
      "La configuraci\xF3n le\xED" "da es incorrecta.",
      "La configurazione letta non \xE8 valida."}},
    {Msg::FileLoadError,
     {"Error while loading file.\n",
      "Erreur lors du chargement du fichier.\n",
      "Fehler beim Laden der Datei.\n",
      "Error al cargar el archivo.\n",
      "Errore durante il caricamento del file.\n"}},
    {Msg::CommunicationError,
     {"COMMUNICATION ERROR",
      "ERREUR DE COMMUNICATION",
      "KOMMUNIKATIONSFEHLER",
      "ERROR DE COMUNICACI\xD3N",
      "ERRORE DI COMUNICAZIONE"}},
    {Msg::NoDialogWithScope,
     {"No dialog with the scope!\n",
      "Aucun dialogue avec l'oscilloscope !\n",
      "Keine Verbindung zum Oszilloskop!\n",
      "\xA1Sin comunicaci\xF3n con el osciloscopio!\n",
      "Nessun dialogo con l'oscilloscopio!\n"}},
    {Msg::SelfTestErrorTitle,
     {"Autotest error!",
      "Erreur d'autotest !",
      "Selbsttestfehler!",
      "\xA1" "Error de autoprueba!",
      "Errore di autotest!"}},
    {Msg::Error, {"Error", "Erreur", "Fehler", "Error", "Errore"}},
    {Msg::VerticalAutosetImpossible,
     {"Vertical autoset impossible",
      "R\xE9glage automatique vertical impossible",
      "Vertikale Autoeinstellung nicht m\xF6glich",
      "Ajuste autom\xE1tico vertical imposible",
      "Regolazione automatica verticale impossibile"}},
    {Msg::AutosetImpossible,
     {"Autoset impossible :\n - No signal,\n - Frequency too low (<20Hz).\n",
      "R\xE9glage automatique impossible :\n"
      " - Pas de signal,\n"
      " - Fr\xE9quence trop basse (<20Hz).\n",
      "Autoeinstellung nicht m\xF6glich:\n - Kein Signal,\n - Frequenz zu niedrig (<20Hz).\n",
      "Ajuste autom\xE1tico imposible:\n"
      " - No hay se\xF1" "al,\n"
      " - Frecuencia demasiado baja (<20Hz).\n",
      "Regolazione automatica impossibile:\n"
      " - Nessun segnale,\n"
      " - Frequenza troppo bassa (<20Hz).\n"}},
    {Msg::LoadingSamples,
     {"Loading samples ...",
      "Chargement des \xE9" "chantillons ...",
      "Messwerte werden geladen ...",
      "Cargando muestras ...",
      "Caricamento dei campioni ..."}},
    {Msg::ConnectionFailedAdvice,
     {"The attempt to connect to the oscilloscope failed:\n"
      "\n"
      "- Is the oscilloscope on and connected to the network or USB ?\n"
      "  (When turning the oscilloscope on, wait 10 seconds before trying again)\n"
      "\n"
      "- Has the device already been steered for another application ?\n"
      "  (The device cannot be steered by two applications at the same time)\n",
      "La connexion \xE0 l'oscilloscope a \xE9" "chou\xE9 :\n"
      "\n"
      "- L'oscilloscope est-il allum\xE9 et reli\xE9 au r\xE9seau ou en USB ?\n"
      "  (Apr\xE8s la mise sous tension, attendez 10 secondes avant de r\xE9" "essayer)\n"
      "\n"
      "- L'appareil est-il d\xE9j\xE0 pilot\xE9 par une autre application ?\n"
      "  (L'appareil ne peut pas \xEAtre pilot\xE9 par deux applications \xE0 la fois)\n",
      "Die Verbindung zum Oszilloskop ist fehlgeschlagen:\n"
      "\n"
      "- Ist das Oszilloskop eingeschaltet und mit dem Netzwerk oder \xFC" "ber USB verbunden?\n"
      "  (Warten Sie nach dem Einschalten 10 Sekunden, bevor Sie es erneut versuchen)\n"
      "\n"
      "- Wird das Ger\xE4t bereits von einer anderen Anwendung gesteuert?\n"
      "  (Das Ger\xE4t kann nicht von zwei Anwendungen gleichzeitig gesteuert werden)\n",
      "No se ha podido conectar con el osciloscopio:\n"
      "\n"
      "- \xBF" "Est\xE1 el osciloscopio encendido y conectado a la red o por USB?\n"
      "  (Tras encender el osciloscopio, espere 10 segundos antes de volver a intentarlo)\n"
      "\n"
      "- \xBF" "Est\xE1 el equipo controlado ya por otra aplicaci\xF3n?\n"
      "  (El equipo no puede ser controlado por dos aplicaciones a la vez)\n",
      "Il tentativo di connessione all'oscilloscopio non \xE8 riuscito:\n"
      "\n"
      "- L'oscilloscopio \xE8 acceso e collegato alla rete o via USB?\n"
      "  (Dopo l'accensione dell'oscilloscopio, attendere 10 secondi prima di riprovare)\n"
      "\n"
      "- Lo strumento \xE8 gi\xE0 controllato da un'altra applicazione?\n"
      "  (Lo strumento non pu\xF2 essere controllato da due applicazioni contemporaneamente)\n"}},
    {Msg::DisconnectInstrument,
     {"You must disconnect your oscilloscope (power supply, USB and Ethernet).\r",
      "Vous devez d\xE9" "connecter votre oscilloscope (alimentation, USB et Ethernet).\r",
      "Trennen Sie Ihr Oszilloskop von allen Anschl\xFCssen (Stromversorgung, USB und Ethernet).\r",
      "Debe desconectar el osciloscopio (alimentaci\xF3n, USB y Ethernet).\r",
      "Scollegare l'oscilloscopio (alimentazione, USB ed Ethernet).\r"}},
    {Msg::ConnectInstrument,
     {"You can connect now your oscilloscope in USB and/or Ethernet.\r"
      "Also connect the instrument to the mains.\r"
      "Wait 10s, then click 'OK'.\r",
      "Vous pouvez maintenant connecter votre oscilloscope en USB et/ou Ethernet.\r"
      "Branchez aussi l'appareil sur le secteur.\r"
      "Attendez 10s, puis cliquez sur 'OK'.\r",
      "Sie k\xF6nnen Ihr Oszilloskop jetzt \xFC" "ber USB und/oder Ethernet anschlie\xDF" "en.\r"
      "Schlie\xDF" "en Sie das Ger\xE4t auch an das Stromnetz an.\r"
      "Warten Sie 10s und klicken Sie dann auf 'OK'.\r",
      "Ahora puede conectar el osciloscopio por USB y/o Ethernet.\r"
      "Conecte tambi\xE9n el equipo a la red el\xE9" "ctrica.\r"
      "Espere 10s y pulse 'OK'.\r",
      "Ora \xE8 possibile collegare l'oscilloscopio via USB e/o Ethernet.\r"
      "Collegare anche lo strumento alla rete elettrica.\r"
      "Attendere 10s, quindi fare clic su 'OK'.\r"}},
};

}  // namespace

std::span<const CatalogueEntryData> MessageEntries() { return kMessages; }
