// A window source that declares an SQLite C function itself, to run a
// statement past the data classes.
extern "C" int sqlite3_prepare_v2(void* db, const char* sql, int bytes, void** statement, const char** tail);

int Prepare(void* db, void** statement)
{
    return sqlite3_prepare_v2(db, "delete from tb_rk_head", -1, statement, nullptr);
}
