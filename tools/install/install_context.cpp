#include "tools/install/install_context.h"

cInstallContext::cInstallContext(const wchar_t* own, const wchar_t* package_file, uint32_t offset)
    : status(INSTALL_STATUS_OK), package_offset(offset), installed_version(~uint64_t(0)),
      package_version(~uint64_t(0)), space_needed(0), previous_files(1024), previous_shortcuts(1024),
      journal_since(0), earlier_folders_known(true)
{
    own_path.Assign(own);
    package_path.Assign(package_file);
}

cInstallContext::~cInstallContext()
{
    while (products_to_uninstall.first)
        uninstall_list_remove(products_to_uninstall, products_to_uninstall.first);
}
