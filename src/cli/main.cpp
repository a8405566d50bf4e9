// Placeholder until the command-line scorer exists.
#include <cstdio>

int main() {
    std::puts("orvale-score");
    return 0;
}
