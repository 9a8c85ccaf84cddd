// Exports the spelling calls of the Hunspell C interface but neither the
// dictionary encoding nor the list release: a library like this is unusable.
extern "C" {
void* Hunspell_create(const char*, const char*) { return nullptr; }
void Hunspell_destroy(void*) {}
int Hunspell_spell(void*, const char*) { return 1; }
int Hunspell_suggest(void*, char***, const char*) { return 0; }
}
