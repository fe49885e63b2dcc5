#ifndef BASE_LOCATIONS_H
#define BASE_LOCATIONS_H

#include <stdint.h>

#include "base/folder_listing.h"

// The two sources of remembered network drives behind
// cFolderListing::ReadLocations. Drives are sets of bits, bit 0 for A:.
// Each remembered drive it lists is taken out of drives_aside (the remote
// drives still to be shown) and added to the listing: connected ones as
// drives with size and label, others as offline drives.

// Windows 10 and later: the subkeys of HKEY_CURRENT_USER\Network, one per
// drive letter, with the share in their value RemotePath.
void locations_add_remembered_from_registry(cFolderListing& listing, uint32_t& drives_aside);

// Earlier Windows: the remembered connections the network providers list.
// Needs net_api_load to have answered true.
void locations_add_remembered_from_providers(cFolderListing& listing, uint32_t& drives_aside);

#endif
