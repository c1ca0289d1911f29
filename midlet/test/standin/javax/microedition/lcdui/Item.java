package javax.microedition.lcdui;

public abstract class Item {
  private String label;

  Item() {}

  public void setLabel(String label) {
    this.label = label;
  }

  public String getLabel() {
    return label;
  }
}
