#pragma once
// The branches the customer has used (t_salesDepartment). The branch last
// picked or logged in with is the default; screens read it whenever shown.
#include <memory>
#include <vector>

#include "core/storage/DatabaseConnection.h"
#include "core/storage/QZUsedSalesDepartment.h"

class SalesDepartmentDaoImpl {
public:
    using DepartmentList = std::vector<std::shared_ptr<QZUsedSalesDepartment>>;

    explicit SalesDepartmentDaoImpl(std::shared_ptr<DatabaseConnection> connection);

    // Every stored branch, the newest first.
    DepartmentList listSalesDepartment();
    // The default branch, or null.
    std::shared_ptr<QZUsedSalesDepartment> defaultSalesDepartment();
    // Stores the branch unless its code is stored (its name only when it has
    // 2 or more characters), then makes that code the only default. False
    // for a code of fewer than 2 characters (no branch code is that short; it
    // could not be found again) or when the database refuses.
    bool addSalesDepartment(const QZUsedSalesDepartment& department);

private:
    std::shared_ptr<DatabaseConnection> connection_;
};
