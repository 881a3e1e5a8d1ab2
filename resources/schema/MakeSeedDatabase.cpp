// Build-time tool: makes the seed database of the bundle from its schema file.
//   rd_make_seed_db SCHEMA.sql OUTPUT.db
// Writes to a temporary file beside the output and renames it into place, so
// an interrupted build never leaves a half-made database behind.
#include <sqlite3.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SCHEMA.sql OUTPUT.db\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream sql;
    sql << in.rdbuf();

    std::string output = argv[2];
    std::string temporary = output + ".tmp";
    std::remove(temporary.c_str());
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temporary.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s: %s\n", temporary.c_str(), db ? sqlite3_errmsg(db) : "?");
        sqlite3_close(db);
        return 1;
    }
    char* message = nullptr;
    std::string script = "BEGIN;\n" + sql.str() + "\nCOMMIT;";
    int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "VACUUM", nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::fprintf(stderr, "schema %s: %s\n", argv[1], message ? message : "?");
        sqlite3_free(message);
        sqlite3_close(db);
        std::remove(temporary.c_str());
        return 1;
    }
    sqlite3_close(db);
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
