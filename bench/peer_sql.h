/* The peer database's questions, shared by the peer benchmark (C++) and the peer's command-line
   program (C): a developer's SQL over the four tables, one statement per query. */
#ifndef VELMOR_BENCH_PEER_SQL_H
#define VELMOR_BENCH_PEER_SQL_H

/* The four tables and the indexes a developer would add for these questions. */
#define PEER_SQL_SCHEMA                                                                         \
  "CREATE TABLE py(Station TEXT, Shortcode TEXT);"                                              \
  "CREATE TABLE trains(ID TEXT PRIMARY KEY, NType INTEGER, StartStation TEXT, EndStation TEXT," \
  " A_Time TEXT, D_Time TEXT, R_Date TEXT, Distance INTEGER, P1 TEXT, P2 TEXT, P3 TEXT,"        \
  " P4 TEXT) WITHOUT ROWID;"                                                                    \
  "CREATE TABLE stops(ID TEXT, Station TEXT, S_No INTEGER, A_Time TEXT, D_Time TEXT,"           \
  " R_Date TEXT, Distance INTEGER, P1 TEXT, P2 TEXT, P3 TEXT, P4 TEXT);"                        \
  "CREATE TABLE sm(Station TEXT, Gp INTEGER);"                                                  \
  "CREATE INDEX py_code ON py(Shortcode);"                                                      \
  "CREATE INDEX stops_station ON stops(Station);"                                               \
  "CREATE UNIQUE INDEX stops_train ON stops(ID, S_No);"                                         \
  "CREATE UNIQUE INDEX sm_station ON sm(Station);"                                              \
  "CREATE INDEX sm_gp ON sm(Gp);"

/* The stations of a name's same-city group, or the name alone when it has none. */
#define PEER_SQL_GROUP(p)                                                    \
  "(SELECT Station FROM sm WHERE Gp = (SELECT Gp FROM sm WHERE Station = " p \
  ")"                                                                        \
  " UNION SELECT " p ")"

/* Station to station: a train that calls on the departure side and later on the arrival
   side, with its summary row for the whole-journey fares. */
#define PEER_SQL_ZZ                                                                   \
  "SELECT l.ID, l.NType, l.StartStation, l.EndStation, l.A_Time, l.D_Time, l.R_Date," \
  " l.Distance, l.P1, l.P2, l.P3, l.P4,"                                              \
  " a.Station, a.S_No, a.D_Time, a.R_Date, a.Distance, a.P1, a.P2, a.P3, a.P4,"       \
  " b.Station, b.S_No, b.A_Time, b.R_Date, b.Distance, b.P1, b.P2, b.P3, b.P4"        \
  " FROM stops a JOIN stops b ON b.ID = a.ID AND b.S_No > a.S_No"                     \
  " JOIN trains l ON l.ID = a.ID"                                                     \
  " WHERE a.Station IN " PEER_SQL_GROUP("?1") " AND b.Station IN " PEER_SQL_GROUP(    \
      "?2") " AND a.D_Time <> ''"

/* Station timetable: every train calling at the station or its group, with the terminus
   (the first later stop without a departure) of a train that departs there. */
#define PEER_SQL_CZ                                                                            \
  "SELECT l.ID, l.NType, l.StartStation, l.EndStation, l.A_Time, l.D_Time, l.R_Date,"          \
  " l.Distance, l.P1, l.P2, l.P3, l.P4,"                                                       \
  " s.Station, s.S_No, s.A_Time, s.D_Time, s.R_Date, s.Distance, s.P1, s.P2, s.P3, s.P4,"      \
  " e.Station, e.S_No, e.A_Time, e.R_Date, e.Distance, e.P1, e.P2, e.P3, e.P4"                 \
  " FROM stops s JOIN trains l ON l.ID = s.ID"                                                 \
  " LEFT JOIN stops e ON e.ID = s.ID AND s.D_Time <> '' AND e.S_No ="                          \
  " (SELECT MIN(x.S_No) FROM stops x WHERE x.ID = s.ID AND x.S_No > s.S_No AND x.D_Time = '')" \
  " WHERE s.Station IN " PEER_SQL_GROUP("?1")

/* Train number: the number itself or a combined number starting with it and "/", with the
   stop number of its terminus. */
#define PEER_SQL_CC                                                                     \
  "SELECT l.ID, l.NType, l.StartStation, l.EndStation, l.A_Time, l.D_Time, l.R_Date,"   \
  " l.Distance, l.P1, l.P2, l.P3, l.P4,"                                                \
  " COALESCE((SELECT MIN(x.S_No) FROM stops x WHERE x.ID = l.ID AND x.D_Time = ''), 1)" \
  " FROM trains l WHERE l.ID = ?1 OR (l.ID >= ?1 || '/' AND l.ID < ?1 || '0')"

#endif
