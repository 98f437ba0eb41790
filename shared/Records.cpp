#include "Records.h"

TTestOptions FactoryTestOptions() {
    TTestOptions options;
    options.GivenVopr = 10;
    // Grades 1 to 11 need 0 to 10 right answers; grade 12 needs 15, which a card of ten
    // questions cannot give.
    for (int grade = 1; grade <= 11; ++grade)
        options.Na[grade - 1] = grade - 1;
    options.Na[11] = 15;
    options.TimeBool = true;
    options.MaxTime = 20;
    options.RandomGiveOut = true;
    options.MayBack = true;
    options.ShowRights = true;
    return options;
}
