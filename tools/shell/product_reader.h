#ifndef TOOLS_SHELL_PRODUCT_READER_H
#define TOOLS_SHELL_PRODUCT_READER_H

#include "tools/shell/product_record.h"

class cApplicationConfig;
class cJob;

// Appends every product recorded under "install" to products, in key
// order and each code name once (both stores of the full configuration
// list a product recorded in both), with its record and icons, and the
// update server's offer when a server address is given (null: no server
// is asked). A record without a version is left out. The records are read
// first, then every product's check runs at the same time as the others,
// each within its own time limit. The job's stop flag (null: none) is
// looked at before each record and during each exchange with the server;
// a stop ends the reading with the products read so far, and the checks
// without an answer yet leave their products without an offer.
void read_installed_products(cApplicationConfig* config, const char* server_address, const cJob* job,
                             cProductList& products);

#endif
