// The one catalogue of the process.
#include <memory>

#include "catalog/item_catalog.h"

namespace {
std::unique_ptr<ItemCatalog> g_catalog;
}

ItemCatalog* GetCatalog() {
    if (!g_catalog) g_catalog = std::make_unique<ItemCatalog>();
    return g_catalog.get();
}

void DestroyCatalog() {
    if (!g_catalog) return;
    g_catalog->ClearRows();
    g_catalog->ClearTree();
    g_catalog->RemoveTempFolder();
    g_catalog.reset();
}

ItemCatalog* InstallCatalog(std::unique_ptr<ItemCatalog> catalog) {
    DestroyCatalog();
    g_catalog = std::move(catalog);
    return g_catalog.get();
}

bool CatalogExists() { return g_catalog != nullptr; }
