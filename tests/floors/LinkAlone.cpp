// A program that calls nothing: a floor's library linked into it whole must find every symbol it uses below it.
int main() {
    return 0;
}
