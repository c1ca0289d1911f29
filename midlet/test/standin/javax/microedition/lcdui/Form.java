package javax.microedition.lcdui;

public class Form extends Screen {
  private final StringBuilder text = new StringBuilder();

  public Form(String title) {
    super(title);
  }

  public int append(String s) {
    text.append(s);
    return 0;
  }

  /** Everything appended, joined. */
  public String text() {
    return text.toString();
  }
}
