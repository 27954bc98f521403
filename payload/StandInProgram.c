/* Stand-in for the product's helper programs (eet_z.exe, eetzuvo.exe,
 * pdfconv.exe). STANDIN_NAME is the installed name; the program prints it and
 * ends with exit code 0, so a test can tell the three apart and see that an
 * installed copy still runs. */
#include <stdio.h>

int main(void) {
    puts(STANDIN_NAME " (MERKANO ZUVO sample product)");
    return 0;
}
