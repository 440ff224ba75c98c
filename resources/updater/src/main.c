#include "updater.h"

int main(int argc, char **argv)
{
    return updater_main(argc, argv, &mtd_system_places);
}
