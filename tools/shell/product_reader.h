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
// first, then the products' checks run side by side (up to 64 at a time),
// all within one time limit (update_check_time_limit_ms) from the first
// one's start: a check without an answer by then, or whose turn comes
// after it, leaves its product without an offer. Without memory for the
// checks the products are listed without offers. The job's stop flag
// (null: none) is looked at before each record and during each exchange
// with the server; a stop ends the reading with the products read so far,
// and the checks without an answer yet leave their products without an
// offer.
void read_installed_products(cApplicationConfig* config, const char* server_address, const cJob* job,
                             cProductList& products);

#endif
