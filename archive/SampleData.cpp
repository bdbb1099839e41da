#include "archive/SampleData.h"

namespace velomar::archive::sample {

namespace {

const char* const kSurnames[] = {
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci",
    "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa",
    "Giordano", "Rizzo", "Lombardi", "Moretti", "Barbieri", "Fontana", "Santoro", "Mariani",
    "Rinaldi", "Caruso", "Ferrara", "Galli", "Martini", "Leone", "Longo", "Gentile",
    "Martinelli", "Vitale", "Lombardo", "Serra", "Coppola", "De Santis", "D'Angelo", "Marchetti",
    "Parisi", "Villa", "Conte", "Ferraro", "Ferri", "Fabbri", "Bianco", "Marini",
    "Grasso", "Valentini", "Messina", "Sala", "De Angelis", "Gatti", "Pellegrini", "Palumbo",
    "Sanna", "Farina", "Rizzi", "Monti", "Cattaneo", "Morelli", "Amato", "Silvestri",
    "Mazza", "Testa", "Grassi", "Pellegrino", "Carbone", "Giuliani", "Benedetti", "Barone",
    "Rossetti", "Caputo", "Montanari", "Guerra", "Palmieri", "Bernardi", "Martino", "Fiore",
    "De Rosa", "Ferretti", "Bellini", "Basile", "Riva", "Donati", "Piras", "Vitali",
    "Battaglia", "Sartori", "Neri", "Costantini", "Milani", "Pagano", "Ruggiero", "Sorrentino",
    "D'Amico", "Orlando", "D'Alessandro", "Dell'Acqua", "Dall'Olio", "Sant'Elia", "Lo Russo", "La Rosa",
    "Di Stefano", "Cantù", "Bellò", "Pedrazzini", "Zanetti", "Zanella", "Brambilla", "Fumagalli",
    "Galbiati", "Cazzaniga", "Mura", "Deiana", "Pinna", "Fadda", "Ruggeri", "Scognamiglio",
    "Niccolai", "Dal Pozzo", "Degli Esposti", "Dell'Orto", "Nicolò", "Lupo", "Gallì", "Mastrodomenico",
};

const char* const kMaleNames[] = {
    "Mario", "Giuseppe", "Giovanni", "Antonio", "Francesco", "Luca", "Marco", "Andrea",
    "Paolo", "Stefano", "Alessandro", "Roberto", "Davide", "Matteo", "Lorenzo", "Niccolò",
    "Nicolò", "Pietro", "Carlo", "Franco", "Gianluca", "Salvatore", "Vincenzo", "Domenico",
    "Emanuele", "Fabrizio", "Massimo", "Riccardo", "Federico", "Tommaso", "Gian Maria", "Pier Paolo",
};

const char* const kFemaleNames[] = {
    "Maria", "Anna", "Giulia", "Francesca", "Sara", "Laura", "Chiara", "Elena",
    "Valentina", "Paola", "Alessandra", "Silvia", "Martina", "Federica", "Elisa", "Giovanna",
    "Rosa", "Angela", "Lucia", "Teresa", "Roberta", "Simona", "Barbara", "Cristina",
    "Daniela", "Noemi", "Zoe", "Irene", "Beatrice", "Ilaria", "Maria Grazia", "Anna Rita",
};

const char* const kMaleTitles[] = {
    "Sig.", "Sig.", "Sig.", "Dott.", "Avv.", "Ing.", "Prof.", "Arch.", "Rag.", "Geom.",
    "Egr. Sig.", "Gent.mo Sig.", "Rev.do Don", "On.",
};

const char* const kFemaleTitles[] = {
    "Sig.ra", "Sig.ra", "Sig.ra", "Dott.ssa", "Avv.", "Ing.", "Prof.ssa", "Arch.",
    "Gent.ma Sig.ra", "Sig.na",
};

const char* const kRoles[] = {
    "Sindaco", "Assessore alla Cultura", "Dirigente Scolastico", "Presidente", "Parroco",
    "Direttore Generale", "Segretario Comunale", "Consigliere Regionale", "Responsabile Acquisti",
    "Ufficio Stampa", "Amministratore Delegato", "Bibliotecaria", "Vicepresidente", "Tesoriere",
    "Responsabile dell'Ufficio Tecnico", "Capo Redattore",
};

const char* const kStreetKinds[] = {
    "Via", "Via", "Via", "Via", "Viale", "Corso", "Piazza", "Largo", "Vicolo", "Piazzale",
    "Strada", "Contrada", "Borgo", "Lungomare",
};

const char* const kStreetNames[] = {
    "Roma", "Giuseppe Garibaldi", "Giuseppe Mazzini", "Camillo Benso di Cavour",
    "Vittorio Emanuele II", "XX Settembre", "IV Novembre", "Dante Alighieri", "Giacomo Matteotti",
    "della Repubblica", "dell'Indipendenza", "San Francesco d'Assisi", "Sant'Ambrogio",
    "Santa Lucia", "dei Mille", "Alessandro Manzoni", "Giuseppe Verdi", "Guglielmo Marconi",
    "della Libertà", "Nazionale", "Trieste", "Trento", "Cesare Battisti", "Antonio Gramsci",
    "Europa", "delle Rose", "dei Tigli", "Aldo Moro", "Papa Giovanni XXIII", "Nino Bixio",
    "Umberto I", "del Risorgimento", "Massimo d'Azeglio", "Caduti sul Lavoro", "Porta Nuova",
    "Cà Rossa", "dell'Unità d'Italia", "del Popolo", "del Plebiscito", "Niccolò Tommaseo",
    "Sant'Antonio", "della Pace", "Luigi Pirandello", "Grazia Deledda", "Martiri della Libertà",
};

const char* const kNotes[] = {
    "Cliente dal 1998", "Inviare il catalogo di Natale", "Non spedire ad agosto",
    "Preferisce il contatto via e-mail", "Socio n. 123", "Sconto 10% sulle ristampe",
    "Citofono \"Studio\"", "Scala B, 3° piano", "Vedi pratica [2019/44]", "Chiedere di Laura?",
    "Ordine #5521 evaso", "Fattura *urgente*", "Auguri: sì", "Referente: l'ufficio acquisti",
    "SELECT * FROM amici; -- solo per prova", "Άγιος Νικόλαος (corrispondente greco)",
};

const char* const kMemos[] = {
    "Telefonare prima delle 18.\r\nChiedere della segreteria.",
    "Incontrato alla fiera di Verona.",
    "Ha chiesto 200 etichette per l'assemblea dei soci.",
    "Indirizzo verificato nel 2021; il civico è sul retro.",
    "Spedizione del 12/03: tornata indietro, destinatario sconosciuto.",
};

const char* const kMailDomains[] = {
    "esempio.it", "posta.esempio.it", "example.com", "mail.example.org", "comune.esempio.it",
};

const Town kTowns[] = {
    {"MILANO", 20121, 42, "MI"}, {"ROMA", 118, 82, "RM"}, {"TORINO", 10121, 36, "TO"},
    {"NAPOLI", 80121, 27, "NA"}, {"GENOVA", 16121, 47, "GE"}, {"BOLOGNA", 40121, 21, "BO"},
    {"FIRENZE", 50121, 25, "FI"}, {"VENEZIA", 30121, 56, "VE"}, {"PALERMO", 90121, 31, "PA"},
    {"BARI", 70121, 12, "BA"}, {"CATANIA", 95121, 11, "CT"}, {"VERONA", 37121, 22, "VR"},
    {"PADOVA", 35121, 23, "PD"}, {"TRIESTE", 34121, 31, "TS"}, {"BRESCIA", 25121, 16, "BS"},
    {"BERGAMO", 24121, 9, "BG"}, {"COMO", 22100, 1, "CO"}, {"CANTÙ", 22063, 1, "CO"},
    {"MONZA", 20900, 1, "MB"}, {"VARESE", 21100, 1, "VA"}, {"PAVIA", 27100, 1, "PV"},
    {"CREMONA", 26100, 1, "CR"}, {"MANTOVA", 46100, 1, "MN"}, {"LECCO", 23900, 1, "LC"},
    {"SONDRIO", 23100, 1, "SO"}, {"LODI", 26900, 1, "LO"}, {"NOVARA", 28100, 1, "NO"},
    {"ASTI", 14100, 1, "AT"}, {"CUNEO", 12100, 1, "CN"}, {"ALBA", 12051, 1, "CN"},
    {"AOSTA", 11100, 1, "AO"}, {"SAVONA", 17100, 1, "SV"}, {"SANREMO", 18038, 1, "IM"},
    {"LA SPEZIA", 19121, 6, "SP"}, {"TRENTO", 38121, 3, "TN"}, {"BOLZANO", 39100, 1, "BZ"},
    {"MERANO", 39012, 1, "BZ"}, {"VICENZA", 36100, 1, "VI"}, {"TREVISO", 31100, 1, "TV"},
    {"UDINE", 33100, 1, "UD"}, {"PORDENONE", 33170, 1, "PN"}, {"ROVIGO", 45100, 1, "RO"},
    {"BELLUNO", 32100, 1, "BL"}, {"PARMA", 43121, 6, "PR"}, {"REGGIO NELL'EMILIA", 42121, 4, "RE"},
    {"MODENA", 41121, 6, "MO"}, {"FERRARA", 44121, 4, "FE"}, {"RAVENNA", 48121, 5, "RA"},
    {"FORLÌ", 47121, 2, "FC"}, {"RIMINI", 47921, 4, "RN"}, {"PIACENZA", 29121, 2, "PC"},
    {"PISA", 56121, 4, "PI"}, {"LUCCA", 55100, 1, "LU"}, {"LIVORNO", 57121, 8, "LI"},
    {"SIENA", 53100, 1, "SI"}, {"AREZZO", 52100, 1, "AR"}, {"PRATO", 59100, 1, "PO"},
    {"PISTOIA", 51100, 1, "PT"}, {"PERUGIA", 6121, 12, "PG"}, {"ASSISI", 6081, 1, "PG"},
    {"TERNI", 5100, 1, "TR"}, {"ANCONA", 60121, 11, "AN"}, {"PESARO", 61121, 2, "PU"},
    {"L'AQUILA", 67100, 1, "AQ"}, {"PESCARA", 65121, 9, "PE"}, {"CAMPOBASSO", 86100, 1, "CB"},
    {"CASERTA", 81100, 1, "CE"}, {"SALERNO", 84121, 15, "SA"}, {"AVELLINO", 83100, 1, "AV"},
    {"BENEVENTO", 82100, 1, "BN"}, {"FOGGIA", 71121, 2, "FG"}, {"LECCE", 73100, 1, "LE"},
    {"TARANTO", 74121, 3, "TA"}, {"BRINDISI", 72100, 1, "BR"}, {"POTENZA", 85100, 1, "PZ"},
    {"MATERA", 75100, 1, "MT"}, {"COSENZA", 87100, 1, "CS"}, {"CATANZARO", 88100, 1, "CZ"},
    {"REGGIO DI CALABRIA", 89121, 15, "RC"}, {"MESSINA", 98121, 48, "ME"}, {"SIRACUSA", 96100, 1, "SR"},
    {"RAGUSA", 97100, 1, "RG"}, {"AGRIGENTO", 92100, 1, "AG"}, {"CANICATTÌ", 92024, 1, "AG"},
    {"PATERNÒ", 95047, 1, "CT"}, {"TRAPANI", 91100, 1, "TP"}, {"CEFALÙ", 90015, 1, "PA"},
    {"CAGLIARI", 9121, 14, "CA"}, {"SASSARI", 7100, 1, "SS"}, {"NUORO", 8100, 1, "NU"},
    {"OLBIA", 7026, 1, "SS"}, {"SANT'ANTIOCO", 9017, 1, "SU"}, {"SANT'AGATA DI MILITELLO", 98076, 1, "ME"},
    {"SANTHIÀ", 13048, 1, "VC"}, {"VERCELLI", 13100, 1, "VC"}, {"BIELLA", 13900, 1, "BI"},
    {"VITERBO", 1100, 1, "VT"}, {"RIETI", 2100, 1, "RI"}, {"LATINA", 4100, 1, "LT"},
    {"FROSINONE", 3100, 1, "FR"}, {"PORTOFINO", 16034, 1, "GE"}, {"RIOMAGGIORE", 19017, 1, "SP"},
};

const ForeignTown kForeign[] = {
    {"PARIS", "75008", "12 Rue de Rivoli", "FRANCIA"},
    {"LYON", "69002", "5 Place Bellecour", "FRANCIA"},
    {"NICE", "06000", "20 Promenade des Anglais", "FRANCIA"},
    {"MÜNCHEN", "80331", "Marienplatz 8", "GERMANIA"},
    {"BERLIN", "10115", "Invalidenstraße 44", "GERMANIA"},
    {"KÖLN", "50667", "Hohe Straße 30", "GERMANIA"},
    {"LUGANO", "6900", "Via Nassa 5", "SVIZZERA"},
    {"ZÜRICH", "8001", "Bahnhofstrasse 21", "SVIZZERA"},
    {"GENÈVE", "1204", "Rue du Rhône 40", "SVIZZERA"},
    {"WIEN", "1010", "Stephansplatz 3", "AUSTRIA"},
    {"INNSBRUCK", "6020", "Maria-Theresien-Straße 18", "AUSTRIA"},
    {"MADRID", "28013", "Calle Mayor 10", "SPAGNA"},
    {"BARCELONA", "08002", "La Rambla 91", "SPAGNA"},
    {"BRUXELLES", "1000", "Grand-Place 1", "BELGIO"},
    {"AMSTERDAM", "1012", "Damrak 70", "PAESI BASSI"},
    {"LISBOA", "1100", "Rua Augusta 100", "PORTOGALLO"},
    {"LJUBLJANA", "1000", "Prešernov trg 2", "SLOVENIA"},
    {"SAN MARINO", "47890", "Contrada del Collegio 12", "SAN MARINO"},
    {"NEW YORK", "10001", "350 5th Avenue", "STATI UNITI"},
    {"BUENOS AIRES", "C1001", "Avenida de Mayo 575", "ARGENTINA"},
    {"ΑΘΗΝΑ", "10557", "Ερμού 15", "GRECIA"},
    {"МОСКВА", "125009", "Тверская улица 7", "RUSSIA"},
};

const Group kGroups[] = {
    {"AM", "Amici"}, {"CL", "Clienti"}, {"FO", "Fornitori"}, {"PA", "Parenti"},
    {"SC", "Scuole e istituti"}, {"CO", "Comuni"}, {"AS", "Associazioni"},
    {"PR", "Parrocchie"}, {"ST", "Stampa e redazioni"}, {"EN", "Enti pubblici"},
    {"SP", "Società sportive"}, {"01", "Soci 2023"}, {"02", "Soci 2024"}, {"VS", "Volontari dell'estate"},
};

} // namespace

std::span<const char* const> surnames() { return kSurnames; }
std::span<const char* const> maleNames() { return kMaleNames; }
std::span<const char* const> femaleNames() { return kFemaleNames; }
std::span<const char* const> maleTitles() { return kMaleTitles; }
std::span<const char* const> femaleTitles() { return kFemaleTitles; }
std::span<const char* const> roles() { return kRoles; }
std::span<const char* const> streetKinds() { return kStreetKinds; }
std::span<const char* const> streetNames() { return kStreetNames; }
std::span<const char* const> notes() { return kNotes; }
std::span<const char* const> memos() { return kMemos; }
std::span<const char* const> mailDomains() { return kMailDomains; }
std::span<const Town> towns() { return kTowns; }
std::span<const ForeignTown> foreignTowns() { return kForeign; }
std::span<const Group> groups() { return kGroups; }

} // namespace velomar::archive::sample
