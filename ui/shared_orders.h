// SharedOrders: the order flags JisuFlag that the graph windows and the CSV dialog share, as the
// dialog reads and writes them. The app controller holds them and implements this.
#pragma once

#include "analysis/order_flags.h"

namespace hg {

class SharedOrders {
  public:
    virtual OrderFlags jisuFlag() const = 0;
    // Entries 256..259 stay 2 whatever is written there.
    virtual void setJisuFlag(const OrderFlags& flags) = 0;

  protected:
    ~SharedOrders() = default;
};

}  // namespace hg
